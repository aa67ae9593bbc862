// The subcommands of `te`, one table per family.
#ifndef TE_TOOL_COMMANDS_H
#define TE_TOOL_COMMANDS_H

#include <string>

struct te_command {
    const char* name;
    const char* usage;  // arguments, for the help text
    int min_args;
    int max_args;
    int (*run)(int argc, char** argv);  // argv[0] is the first argument
};

// A failed call: prints te_last_error() and returns the exit status 1.
int te_fail(const char* what);
// Prints a text result, or fails when it is null.
int te_print_result(const char* what, const char* text);
// The whole content of a file, or false.
bool te_read_text_file(const char* path, std::string* out);

extern const te_command te_snippet_commands[];
extern const int te_snippet_command_count;
extern const te_command te_expansion_commands[];
extern const int te_expansion_command_count;
extern const te_command te_run_commands[];
extern const int te_run_command_count;

#endif
