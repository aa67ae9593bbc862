// A program name and a rule object from the input (NUL-separated). The rule
// list must always write out as JSON, hold at most one rule per program,
// and a watch pass for that program must keep to the rule.
#include <set>
#include <string>
#include <vector>

#include "engine.h"
#include "fuzz_env.h"
#include "textexpander.h"

using te_fuzz::check;

namespace {

void check_one_rule_per_program() {
    te_engine_guard g(te_engine_lock);
    std::set<std::string> seen;
    for (int i = 0; i < E.rule_count; i++) check(seen.insert(E.rules[i].process).second, "two rules for one program");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> p = te_fuzz::split(data, size, 3);
    te_fuzz::reset_tables();
    te_rule_set("OTHER.EXE", "{\"allow\":false}");
    int set_once = te_rule_set(p[0].c_str(), p[1].c_str());
    te_rule_set(p[0].c_str(), p[2].empty() ? nullptr : p[2].c_str());
    check(te_rules_json() != nullptr, "the rule list cannot be written as JSON");
    check_one_rule_per_program();
    if (set_once) {
        // ">>email" is a seed; the rule may block it or demand a prefix.
        int r = te_watch_pass_text("mail: >>email", p[0].c_str());
        check(r >= -1 && r <= 1, "a watch pass returned an unknown result");
    }
    return 0;
}
