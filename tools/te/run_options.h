// The options of `te run`, shared with `te autostart on`, which writes
// them into the command the desktop session starts.
#ifndef TE_TOOL_RUN_OPTIONS_H
#define TE_TOOL_RUN_OPTIONS_H

#include <string>
#include <vector>

#include <CLI/CLI.hpp>

struct te_run_options {
    std::string mode;    // empty: keys where the desktop can watch the keyboard, else clipboard
    std::string hotkey;  // empty: not given
    int poll_ms = 0;     // 0: not given
    bool dry_run = false;
    bool synthetic_keys = false;
    std::string desktop;  // empty: the library's own choice
    bool quiet = false;
    // The settings for all snippets; the engine's defaults when not given.
    bool propagate_case = false;
    bool word_triggers = false;
    bool no_undo_backspace = false;
    std::string locale;  // empty: the user's
};

void te_add_run_options(CLI::App* sub, te_run_options& o);
// The engine configuration for te_start; empty when a string in it is
// not valid UTF-8.
std::string te_run_config(const te_run_options& o, const std::string& store);
// The arguments after "te" that repeat these options: {"run", ...}.
std::vector<std::string> te_run_arguments(const te_run_options& o, const std::string& store);

#endif
