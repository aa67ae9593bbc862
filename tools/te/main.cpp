// te: drives the text expander from the command line.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include "commands.h"
#include "textexpander.h"

int te_fail(const char* what) {
    std::fprintf(stderr, "te %s: %s\n", what, te_last_error());
    return 1;
}

int te_print_result(const char* what, const char* text) {
    if (!text) return te_fail(what);
    std::printf("%s\n", text);
    return 0;
}

bool te_read_text_file(const char* path, std::string* out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream ss;
    ss << in.rdbuf();
    *out = ss.str();
    return true;
}

namespace {

struct te_family {
    const te_command* commands;
    const int* count;
};

const te_family te_families[] = {
    {te_snippet_commands, &te_snippet_command_count},
    {te_expansion_commands, &te_expansion_command_count},
    {te_run_commands, &te_run_command_count},
};

void te_usage(void) {
    std::fprintf(stderr, "usage: te COMMAND [ARGS]\ncommands:\n");
    for (const te_family& f : te_families)
        for (int i = 0; i < *f.count; i++)
            std::fprintf(stderr, "  te %s %s\n", f.commands[i].name, f.commands[i].usage);
}

const te_command* te_find_command(const char* name) {
    for (const te_family& f : te_families)
        for (int i = 0; i < *f.count; i++)
            if (std::strcmp(f.commands[i].name, name) == 0) return &f.commands[i];
    return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        te_usage();
        return 2;
    }
    const te_command* cmd = te_find_command(argv[1]);
    int nargs = argc - 2;
    if (!cmd || nargs < cmd->min_args || nargs > cmd->max_args) {
        te_usage();
        return 2;
    }
    return cmd->run(nargs, argv + 2);
}
