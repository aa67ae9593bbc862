// te render | match | pass | expand | rule | rules | stats | last
#include <cstdio>
#include <cstring>

#include "commands.h"
#include "textexpander.h"

namespace {

int te_cmd_render(int, char** argv) { return te_print_result("render", te_render(argv[0])); }

int te_cmd_match(int, char** argv) {
    const char* at = te_match_trailing_trigger(argv[0], argv[1]);
    if (!at) {
        std::printf("no match\n");
        return 1;
    }
    std::printf("match at byte %ld\n", (long)(at - argv[0]));
    return 0;
}

int te_cmd_pass(int argc, char** argv) {
    te_snippet_count();  // a watch pass does not load the store by itself
    int r = te_watch_pass_text(argv[0], argc > 1 ? argv[1] : nullptr);
    if (r < 0) return te_fail("pass");
    std::printf(r ? "expanded: %s\n" : "nothing to expand\n", te_last_expanded());
    return 0;
}

int te_cmd_expand(int argc, char** argv) {
    if (argc > 1) {
        if (std::strcmp(argv[1], "--dry-run") != 0) return 2;
        // Settings apply through a start; the worker is stopped at once.
        if (!te_start("{\"dry_run\":true}")) return te_fail("expand");
        te_stop();
    }
    if (!te_expand(argv[0])) return te_fail("expand");
    std::printf("%s\n", te_last_expanded());
    return 0;
}

int te_cmd_rule(int argc, char** argv) {
    return te_rule_set(argv[0], argc > 1 ? argv[1] : nullptr) ? 0 : te_fail("rule");
}

int te_cmd_rules(int, char**) { return te_print_result("rules", te_rules_json()); }

int te_cmd_stats(int, char**) { return te_print_result("stats", te_stats_json()); }

int te_cmd_last(int, char**) { return te_print_result("last", te_last_expanded()); }

}  // namespace

const te_command te_expansion_commands[] = {
    {"render", "TEMPLATE", 1, 1, te_cmd_render},
    {"match", "TEXT TRIGGER", 2, 2, te_cmd_match},
    {"pass", "TEXT [PROGRAM]", 1, 2, te_cmd_pass},
    {"expand", "TRIGGER [--dry-run]", 1, 2, te_cmd_expand},
    {"rule", "PROGRAM [JSON]", 1, 2, te_cmd_rule},
    {"rules", "", 0, 0, te_cmd_rules},
    {"stats", "", 0, 0, te_cmd_stats},
    {"last", "", 0, 0, te_cmd_last},
};
const int te_expansion_command_count = sizeof te_expansion_commands / sizeof te_expansion_commands[0];
