// What every `te` subcommand shares: the command line, the store chosen for
// this run, and how results and failures are printed.
#ifndef TE_TOOL_CLI_H
#define TE_TOOL_CLI_H

#include <functional>
#include <map>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

// Exit statuses.
enum {
    TE_EXIT_OK = 0,
    TE_EXIT_FAILED = 1,       // the operation failed; the reason is on stderr
    TE_EXIT_USAGE = 2,        // the command line was wrong
    TE_EXIT_NOT_RUNNING = 3,  // te status: nothing runs in the background
    TE_EXIT_PARTIAL = 4,      // te import: some snippets were stored, others not (named on stderr)
};

// How a subcommand uses the snippet store, so --store is applied the way it
// needs before it runs.
enum te_store_use {
    TE_STORE_NONE,    // never touches the store
    TE_STORE_QUIET,   // edits snippets; never types
    TE_STORE_SHOWN,   // shows or exports snippets: refused while the store cannot be read
    TE_STORE_TYPING,  // may type an expansion (refused as TE_STORE_SHOWN)
    TE_STORE_OWN,     // starts the engine itself (te run); refused as TE_STORE_SHOWN
};

struct te_cli {
    CLI::App app{"te: expands snippet triggers into text as you work", "te"};
    std::string store;  // --store PATH or $TE_STORE; empty: the default store

    te_cli();
    // Adds a subcommand; `run` is its work, called after a parse that chose it.
    CLI::App* command(const char* name, const char* description, te_store_use use, std::function<int()> run);
    // Parses, applies the store and runs the chosen subcommand: the exit status.
    int run(int argc, char** argv);

private:
    struct te_action {
        te_store_use use;
        std::function<int()> run;
    };
    std::map<const CLI::App*, te_action> actions_;
    std::string help_topic_;
    int te_help(void);
    int te_unknown_command(const std::string& word, const std::string& parse_error);
};

// The subcommand families, one file each.
void te_add_snippet_commands(te_cli& cli);     // count field add update delete show
void te_add_browse_commands(te_cli& cli);      // list search path
void te_add_transfer_commands(te_cli& cli);    // export import
void te_add_edit_command(te_cli& cli);         // edit
void te_add_expansion_commands(te_cli& cli);   // render match pass expand rule rules stats last
void te_add_run_command(te_cli& cli);          // run
void te_add_background_commands(te_cli& cli);  // status stop
void te_add_autostart_command(te_cli& cli);    // autostart
void te_add_kwin_command(te_cli& cli);         // kwin-trust

// te_fail for a start or an expansion that may have failed to type: on
// KDE Plasma, when no desktop file lets this te use KWin's fake input, it
// also says so and offers `te kwin-trust`.
int te_fail_typing(const char* what);

// "te WHAT: <te_last_error() in plain words>" on stderr; returns
// TE_EXIT_FAILED.
int te_fail(const char* what);
// After a change: "te WHAT: note: ..." on stderr for each trigger among
// `triggers` that begins another or that another begins (trigger_overlap.h).
void te_note_overlaps(const char* what, const std::vector<std::string>& triggers);
// "te WHAT: MESSAGE" on stderr; returns TE_EXIT_FAILED.
int te_fail_with(const char* what, const std::string& message);
// "te WHAT: MESSAGE (see te WHAT --help)" on stderr; returns TE_EXIT_USAGE.
int te_usage_error(const char* what, const std::string& message);
// Prints a text result and a newline, or fails when it is null.
int te_print_result(const char* what, const char* text);

// The store file this run uses: --store / $TE_STORE, else the default.
std::string te_store_in_use(const te_cli& cli);
// Points the engine at `store` (empty: leaves its default) as `use` needs,
// without a watch pass on the way, and checks that `in_use` (the store file
// either way) can be read where `use` shows its snippets. 0, or an exit
// status after a failure.
int te_select_store(const char* what, const std::string& store, const std::string& in_use, te_store_use use);

#endif
