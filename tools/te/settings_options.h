// The options of `te add` and `te edit` for a snippet's own settings, and
// the snippet object with them applied.
#ifndef TE_TOOL_SETTINGS_OPTIONS_H
#define TE_TOOL_SETTINGS_OPTIONS_H

#include <string>

#include <CLI/CLI.hpp>

struct te_settings_options {
    // "on" or "off"; "default" (te edit) drops the snippet's own setting;
    // empty: not given.
    std::string propagate_case;
    std::string word_triggers;
    // A locale such as de_DE; "default" (te edit) drops it; empty: not given.
    std::string locale;

    bool given() const { return !propagate_case.empty() || !word_triggers.empty() || !locale.empty(); }
};

// Adds --propagate-case, --word-triggers and --locale; with `can_drop`,
// "default" is a value too.
void te_add_settings_options(CLI::App* sub, te_settings_options& o, bool can_drop);

// The snippet object `snippet_json` with `text` (when not null) in place of
// its text and its settings changed as `o` says; every other member stays.
// Empty when it is no JSON object or a string is not valid UTF-8.
std::string te_snippet_changed(const std::string& snippet_json, const std::string* text, const te_settings_options& o);

#endif
