// The input as the store file, read the way first use reads it. The table
// must then hold 1 to 4096 snippets that write out as JSON, and writing it
// and reading it again must give the same table.
#include <cstdio>
#include <cstring>
#include <string>

#include "engine.h"
#include "fuzz_env.h"
#include "store.h"
#include "textexpander.h"

using te_fuzz::check;

namespace {

void write_store(const std::string& path, const std::uint8_t* data, std::size_t size) {
    FILE* f = std::fopen(path.c_str(), "wb");
    check(f != nullptr, "cannot write the store file");
    if (size) check(std::fwrite(data, 1, size, f) == size, "cannot write the store file");
    std::fclose(f);
}

// Reads the file at `path` into an empty table, as first use would.
void read_store(const std::string& path) {
    te_engine_guard g(te_engine_lock);
    std::strcpy(E.store_path, path.c_str());
    E.snippet_count = 0;
    store_read_into();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string path = te_fuzz::run_dir() + "/store.json";
    write_store(path, data, size);
    read_store(path);
    int n = te_snippet_count();
    check(n >= 1 && n <= 4096, "the table size is out of range after a read");
    const char* written = te_snippets_json();
    check(written != nullptr, "a table read from a file cannot be written as JSON");
    std::string first = written;
    write_store(path, reinterpret_cast<const std::uint8_t*>(first.data()), first.size());
    read_store(path);
    check(first == te_snippets_json(), "the written table reads back differently");
    return 0;
}
