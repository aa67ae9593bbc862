// te render | match | pass | expand | rule | rules | stats | last
#include <cstdio>
#include <memory>

#include "cli.h"
#include "desktop_settle.h"
#include "json_text.h"
#include "rules_file.h"
#include "textexpander.h"

namespace {

struct te_text_pair {
    std::string first;
    std::string second;
    CLI::Option* second_given = nullptr;
};

int te_cmd_match(const te_text_pair& a) {
    const char* at = te_match_trailing_trigger(a.first.c_str(), a.second.c_str());
    if (!at) {
        std::printf("no match\n");
        return TE_EXIT_FAILED;
    }
    std::printf("match at byte %ld\n", (long)(at - a.first.c_str()));
    return TE_EXIT_OK;
}

// The rules kept beside the store, set in this process; false (and the
// message printed) when the file cannot be taken.
bool te_apply_kept_rules(const te_cli& cli, const char* what) {
    std::string error;
    if (te_rules_file_apply(te_rules_file_path(te_store_in_use(cli)), &error)) return true;
    te_fail_with(what, error);
    return false;
}

int te_cmd_pass(const te_cli& cli, const te_text_pair& a) {
    te_snippet_count();  // a watch pass does not load the store by itself
    if (*a.second_given && !te_apply_kept_rules(cli, "pass")) return TE_EXIT_FAILED;
    int r = te_watch_pass_text(a.first.c_str(), *a.second_given ? a.second.c_str() : nullptr);
    if (r < 0) return te_fail_typing("pass");
    std::printf(r ? "expanded: %s\n" : "nothing to expand\n", te_last_expanded());
    return TE_EXIT_OK;
}

// --dry-run renders the text and prints it: nothing starts, nothing is typed.
int te_cmd_expand(const std::string& trigger, bool dry_run) {
    if (dry_run) {
        te_json_object snippet(te_snippet_json(trigger.c_str()));
        if (!snippet.valid()) return te_fail_with("expand", "no such trigger: " + trigger);
        return te_print_result("expand", te_render(snippet.str("text").c_str()));
    }
    if (!te_expand(trigger.c_str())) return te_fail_typing("expand");
    std::printf("%s\n", te_last_expanded());
    return TE_EXIT_OK;
}

struct te_rule_args {
    std::string program;
    std::string setting;  // allow, block, or rule settings as JSON
    std::string prefix;
    CLI::Option* setting_given = nullptr;
    CLI::Option* prefix_given = nullptr;
};

// Sets the rule over those kept beside the store and keeps the result, so
// every later te, a running `te run` and the manager window follow it.
int te_cmd_rule(const te_cli& cli, const te_rule_args& a) {
    bool friendly = a.setting == "allow" || a.setting == "block";
    if (*a.setting_given && !friendly && a.setting.compare(0, 1, "{") != 0)
        return te_usage_error("rule", "SETTING must be allow, block or a JSON object");
    if (!friendly && *a.prefix_given) return te_usage_error("rule", "--prefix goes with allow or block");
    std::string settings = a.setting;
    if (friendly) {
        te_json_builder b;
        b.add("allow", a.setting == "allow");
        b.add("prefix", a.prefix);
        settings = b.text();
    }
    const char* json = *a.setting_given ? settings.c_str() : nullptr;
    std::string error;
    if (!te_rules_file_set(te_rules_file_path(te_store_in_use(cli)), a.program, json, &error))
        return te_fail_with("rule", error);
    if (const char* note = te_rule_desktop_note(te_desktop_settle("")))
        std::fprintf(stderr, "te rule: note: %s\n", note);
    return TE_EXIT_OK;
}

void te_add_rule_command(te_cli& cli) {
    auto a = std::make_shared<te_rule_args>();
    CLI::App* sub = cli.command("rule", "Allow or block expansion in a program (kept beside the store)",
                                TE_STORE_QUIET, [&cli, a] { return te_cmd_rule(cli, *a); });
    sub->add_option("PROGRAM", a->program, "Executable name, e.g. GEDIT or NOTEPAD.EXE (any letter case)")
        ->required();
    a->setting_given = sub->add_option("SETTING", a->setting, "allow or block (or the rule as a JSON object)");
    a->prefix_given = sub->add_option("--prefix", a->prefix, "Triggers used there must begin with P")
                          ->type_name("P");
}

}  // namespace

void te_add_expansion_commands(te_cli& cli) {
    auto text = std::make_shared<std::string>();
    CLI::App* sub = cli.command("render", "Fill in a template's placeholders and print it", TE_STORE_NONE,
                                [text] { return te_print_result("render", te_render(text->c_str())); });
    sub->add_option("TEMPLATE", *text, "Text with {date} {time} {year} {clipboard} {random6}")->required();

    auto match = std::make_shared<te_text_pair>();
    sub = cli.command("match", "Tell whether TEXT ends with TRIGGER", TE_STORE_NONE,
                      [match] { return te_cmd_match(*match); });
    sub->add_option("TEXT", match->first, "The text")->required();
    sub->add_option("TRIGGER", match->second, "The trigger")->required();

    auto pass = std::make_shared<te_text_pair>();
    sub = cli.command("pass", "Expand the snippet whose trigger ends TEXT, as if copied in PROGRAM",
                      TE_STORE_TYPING, [&cli, pass] { return te_cmd_pass(cli, *pass); });
    sub->add_option("TEXT", pass->first, "The text")->required();
    pass->second_given = sub->add_option("PROGRAM", pass->second, "Program in front (rules apply)");

    auto expand = std::make_shared<std::pair<std::string, bool>>("", false);
    sub = cli.command("expand", "Type the snippet TRIGGER into the window in front", TE_STORE_TYPING,
                      [expand] { return te_cmd_expand(expand->first, expand->second); });
    sub->add_option("TRIGGER", expand->first, "The snippet")->required();
    sub->add_flag("--dry-run", expand->second, "Only print the text it would type");

    te_add_rule_command(cli);
    cli.command("rules", "Print the rules kept beside the store as JSON", TE_STORE_QUIET, [&cli] {
        return te_apply_kept_rules(cli, "rules") ? te_print_result("rules", te_rules_json()) : TE_EXIT_FAILED;
    });
    cli.command("stats", "Print this te command's own statistics as JSON (with the store's snippets counted)",
                TE_STORE_SHOWN, [] {
                    // A fresh engine: nothing expanded yet. The background one's count is elsewhere.
                    te_snippet_count();
                    std::fprintf(stderr, "te stats: the numbers of this te command alone; `te status` shows "
                                         "those of the engine running in the background\n");
                    return te_print_result("stats", te_stats_json());
                });
    cli.command("last", "Print the text of this process's last expansion", TE_STORE_NONE,
                [] { return te_print_result("last", te_last_expanded()); });
}
