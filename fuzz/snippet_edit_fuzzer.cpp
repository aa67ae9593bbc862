// A snippet object from the input, added and then used to replace a seed.
// Whatever is accepted must be stored exactly, read back to the same
// record, and leave the triggers unique.
#include <cstring>
#include <string>

#include "fuzz_env.h"
#include "textexpander.h"

using te_fuzz::check;

namespace {

// The snippet's own written form, given back to update, changes nothing.
void check_round_trip(const std::string& trigger) {
    const char* own = te_snippet_json(trigger.c_str());
    check(own != nullptr, "a stored snippet cannot be written as JSON");
    std::string json = own;
    std::string before = te_snippets_json();
    check(te_snippet_update(trigger.c_str(), json.c_str()) == 1, "a snippet's own form is refused");
    check(before == te_snippets_json(), "a snippet's own form changes the table");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string json = te_fuzz::text(data, size);
    te_fuzz::reset_tables();
    if (te_snippet_add(json.c_str()) == 1) {
        int last = te_snippet_count() - 1;
        check(last == 3, "an add did not append one snippet");
        std::string trigger = te_snippet_field(last, "trigger");
        te_fuzz::check_store_follows_table();
        check_round_trip(trigger);
        check(te_snippet_delete(trigger.c_str()) == 1, "an added snippet cannot be deleted");
    }
    if (te_snippet_update(">>email", json.c_str()) == 1) {
        te_fuzz::check_store_follows_table();
        check(te_snippet_count() == 3, "an update changed the count");
        check_round_trip(te_snippet_field(1, "trigger"));
    }
    te_fuzz::check_triggers_unique();
    return 0;
}
