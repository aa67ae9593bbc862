// The command line of `te`: global options, help, and running the chosen
// subcommand with the exit status conventions of cli.h.
#include "cli.h"

#include <cstdio>

#include "textexpander.h"

int te_fail(const char* what) { return te_fail_with(what, te_last_error()); }

int te_fail_with(const char* what, const std::string& message) {
    std::fprintf(stderr, "te %s: %s\n", what, message.c_str());
    return TE_EXIT_FAILED;
}

int te_usage_error(const char* what, const std::string& message) {
    std::fprintf(stderr, "te %s: %s (see te %s --help)\n", what, message.c_str(), what);
    return TE_EXIT_USAGE;
}

int te_print_result(const char* what, const char* text) {
    if (!text) return te_fail(what);
    std::printf("%s\n", text);
    return TE_EXIT_OK;
}

namespace {

// Help as a person reads it: a positional shows "(required)" or nothing,
// not the type of its value.
class te_help_format : public CLI::Formatter {
public:
    std::string make_option_opts(const CLI::Option* opt) const override {
        if (opt->nonpositional()) return CLI::Formatter::make_option_opts(opt);
        return opt->get_required() ? " (required)" : "";
    }
};

}  // namespace

te_cli::te_cli() {
    app.formatter(std::make_shared<te_help_format>());
    app.set_version_flag("--version", "te " TE_VERSION, "Print the version and exit");
    app.add_option("--store", store, "Snippet store file to use instead of the default")
        ->envname("TE_STORE")
        ->type_name("PATH");
    app.fallthrough();  // --store may also follow the subcommand
    app.require_subcommand(0, 1);
    app.footer("Run `te COMMAND --help` for the options of a command.\n"
               "An argument that begins with '-' goes after `--`.\n"
               "Exit status: 0 done, 1 failed (the reason on stderr), 2 wrong command line,\n"
               "3 `te status`: not running, 4 `te import`: some snippets stored, others refused.");
    CLI::App* help = command("help", "Show this help, or a command's", TE_STORE_NONE, [this] { return te_help(); });
    help->add_option("COMMAND", help_topic_, "The command to explain");
}

CLI::App* te_cli::command(const char* name, const char* description, te_store_use use,
                          std::function<int()> run) {
    CLI::App* sub = app.add_subcommand(name, description);
    actions_[sub] = te_action{use, std::move(run)};
    return sub;
}

int te_cli::te_help(void) {
    if (help_topic_.empty()) {
        std::printf("%s", app.help().c_str());
        return TE_EXIT_OK;
    }
    for (const auto& entry : actions_) {
        if (entry.first->get_name() == help_topic_) {
            std::printf("%s", entry.first->help("te").c_str());
            return TE_EXIT_OK;
        }
    }
    return te_usage_error("help", "no such command: " + help_topic_);
}

int te_cli::run(int argc, char** argv) {
    try {
        app.parse(argc, argv);
    } catch (const CLI::Success& e) {
        return app.exit(e);  // --help, --version
    } catch (const CLI::ParseError& e) {
        std::vector<CLI::App*> chosen = app.get_subcommands();
        if (chosen.empty()) {
            std::fprintf(stderr, "te: %s (see te --help)\n", e.what());
            return TE_EXIT_USAGE;
        }
        return te_usage_error(chosen[0]->get_name().c_str(), e.what());
    }
    std::vector<CLI::App*> chosen = app.get_subcommands();
    if (chosen.empty()) {
        std::printf("%s", app.help().c_str());
        return TE_EXIT_OK;
    }
    const te_action& action = actions_.at(chosen[0]);
    int status = te_select_store(chosen[0]->get_name().c_str(), store, te_store_in_use(*this), action.use);
    return status != 0 ? status : action.run();
}
