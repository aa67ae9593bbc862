// An import array from the input, merged into the seed table. The count
// returned is what was appended, the file follows the table and no trigger
// occurs twice.
#include <string>

#include "fuzz_env.h"
#include "textexpander.h"

using te_fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string json = te_fuzz::text(data, size);
    te_fuzz::reset_tables();
    int added = te_snippet_import(json.c_str());
    check(added >= 0, "an import returned a negative count");
    check(te_snippet_count() == 3 + added, "the count returned is not what was appended");
    if (added > 0) te_fuzz::check_store_follows_table();
    check(te_snippets_json() != nullptr, "the table cannot be written as JSON");
    te_fuzz::check_triggers_unique();
    return 0;
}
