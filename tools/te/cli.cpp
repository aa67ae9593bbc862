// The command line of `te`: global options, help, and running the chosen
// subcommand with the exit status conventions of cli.h.
#include "cli.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "plain_words.h"
#include "textexpander.h"
#include "trigger_overlap.h"

int te_fail(const char* what) { return te_fail_with(what, te_plain_words(te_last_error())); }

void te_note_overlaps(const char* what, const std::vector<std::string>& triggers) {
    std::string warning = te_overlap_warning(te_find_overlaps(triggers, false));
    for (std::size_t at = 0; at < warning.size();) {
        std::size_t end = std::min(warning.find('\n', at), warning.size());
        std::fprintf(stderr, "te %s: note: %s\n", what, warning.substr(at, end - at).c_str());
        at = end + 1;
    }
}

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

// The commands people use day to day, in the order `te --help` lists them;
// the others (for scripts and tests) follow in a group of their own.
const char* const TE_EVERYDAY[] = {"add",  "list", "search", "show",  "edit",  "delete", "run",   "status",
                                   "stop", "rule", "rules",  "import", "export", "path",  "autostart", "help"};

bool te_is_everyday(const std::string& name) {
    for (const char* everyday : TE_EVERYDAY)
        if (name == everyday) return true;
    return false;
}

// Help as a person reads it: a positional shows "(required)" or nothing,
// not the type of its value; everyday commands come first.
class te_help_format : public CLI::Formatter {
public:
    std::string make_option_opts(const CLI::Option* opt) const override {
        if (opt->nonpositional()) return CLI::Formatter::make_option_opts(opt);
        return opt->get_required() ? " (required)" : "";
    }
    std::string make_subcommands(const CLI::App* app, CLI::AppFormatMode mode) const override {
        if (app->get_parent()) return CLI::Formatter::make_subcommands(app, mode);
        std::vector<const CLI::App*> subs = app->get_subcommands({});
        std::string everyday = "\nCommands:\n", others = "\nFor scripts and tests:\n";
        for (const char* name : TE_EVERYDAY)
            for (const CLI::App* sub : subs)
                if (sub->get_name() == name) everyday += make_subcommand(sub);
        for (const CLI::App* sub : subs)
            if (!te_is_everyday(sub->get_name())) others += make_subcommand(sub);
        return everyday + others;
    }
};

// Edits (a letter added, removed or changed, two neighbours swapped) that
// make one word the other.
std::size_t te_edit_distance(const std::string& a, const std::string& b) {
    std::vector<std::vector<std::size_t>> d(a.size() + 1, std::vector<std::size_t>(b.size() + 1));
    for (std::size_t i = 0; i <= a.size(); i++) d[i][0] = i;
    for (std::size_t j = 0; j <= b.size(); j++) d[0][j] = j;
    for (std::size_t i = 1; i <= a.size(); i++)
        for (std::size_t j = 1; j <= b.size(); j++) {
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + (a[i - 1] != b[j - 1])});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
        }
    return d[a.size()][b.size()];
}

// The first argument that is neither an option nor --store's value.
std::string te_first_word(int argc, char** argv) {
    for (int i = 1; i < argc; i++) {
        std::string arg = argv[i];
        if (arg == "--store") i++;
        else if (arg.empty() || arg[0] != '-') return arg;
    }
    return "";
}

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

// An unknown command is named, with the nearest one when some is near.
int te_cli::te_unknown_command(const std::string& word, const std::string& parse_error) {
    // At most two edits away; on a tie the everyday command.
    std::string nearest;
    std::size_t best_score = 6;
    for (const CLI::App* sub : app.get_subcommands({})) {
        const std::string& name = sub->get_name();
        std::size_t d = te_edit_distance(word, name);
        std::size_t score = d * 2 + (te_is_everyday(name) ? 0 : 1);
        if (d <= 2 && d < name.size() && score < best_score) {
            best_score = score;
            nearest = name;
        }
    }
    if (word.empty() || word[0] == '-') std::fprintf(stderr, "te: %s (see te --help)\n", parse_error.c_str());
    else if (nearest.empty()) std::fprintf(stderr, "te: %s is not a command (see te --help)\n", word.c_str());
    else std::fprintf(stderr, "te: %s is not a command; did you mean `te %s`? (see te --help)\n", word.c_str(), nearest.c_str());
    return TE_EXIT_USAGE;
}

int te_cli::run(int argc, char** argv) {
    try {
        app.parse(argc, argv);
    } catch (const CLI::Success& e) {
        return app.exit(e);  // --help, --version
    } catch (const CLI::ParseError& e) {
        std::vector<CLI::App*> chosen = app.get_subcommands();
        if (chosen.empty()) return te_unknown_command(te_first_word(argc, argv), e.what());
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
