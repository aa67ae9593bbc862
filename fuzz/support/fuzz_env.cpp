#include "fuzz_env.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <set>
#include <sstream>

#include "engine.h"
#include "textexpander.h"

namespace te_fuzz {

namespace {

std::string te_dir;

void te_remove_dir(void) {
    if (te_dir.empty()) return;
    std::string cmd = "rm -rf '" + te_dir + "'";
    if (std::system(cmd.c_str()) != 0) std::fprintf(stderr, "could not remove %s\n", te_dir.c_str());
}

}  // namespace

void setup() {
    const char* base = std::getenv("TE_FUZZ_DIR");
    std::string tmpl = std::string(base && base[0] ? base : "/dev/shm") + "/te-fuzz-XXXXXX";
    check(mkdtemp(&tmpl[0]) != nullptr, "cannot create the fuzz folder");
    te_dir = tmpl;
    std::atexit(te_remove_dir);
    setenv("APPDATA", te_dir.c_str(), 1);
    te_snippet_count();  // first use, so later inputs never trigger it
}

const std::string& run_dir() { return te_dir; }

std::string text(const std::uint8_t* data, std::size_t size) {
    std::string s(reinterpret_cast<const char*>(data), size);
    return s.substr(0, s.find('\0'));
}

std::vector<std::string> split(const std::uint8_t* data, std::size_t size, std::size_t parts) {
    std::vector<std::string> out;
    std::string s(reinterpret_cast<const char*>(data), size);
    std::size_t pos = 0;
    while (out.size() + 1 < parts) {
        std::size_t nul = s.find('\0', pos);
        out.push_back(s.substr(pos, nul == std::string::npos ? std::string::npos : nul - pos));
        pos = nul == std::string::npos ? s.size() : nul + 1;
    }
    std::string last = s.substr(pos);
    out.push_back(last.substr(0, last.find('\0')));
    return out;
}

void reset_tables() {
    te_engine_guard g(te_engine_lock);
    E.snippet_count = 0;
    te_seed_snippets();
    E.rule_count = 0;
}

void check(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "fuzz property broken: %s (last error: %s)\n", what, te_last_error());
    std::abort();
}

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

void check_store_follows_table() {
    const char* table = te_snippets_json();
    check(table != nullptr, "the table cannot be written as JSON");
    std::string path;
    {
        te_engine_guard g(te_engine_lock);
        path = E.store_path;
    }
    check(read_file(path) == table, "the store file differs from the table");
}

void check_triggers_unique() {
    std::set<std::string> seen;
    int n = te_snippet_count();
    for (int i = 0; i < n; i++) {
        const char* t = te_snippet_field(i, "trigger");
        check(t != nullptr, "a snippet has no trigger");
        check(seen.insert(t).second, "two snippets share a trigger");
    }
}

}  // namespace te_fuzz

// libFuzzer calls this once, before the first input.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    te_fuzz::setup();
    return 0;
}
