// te autostart on|off: start `te run` with the desktop session, or not.
#include <climits>
#include <cstdio>
#include <memory>
#include <unistd.h>

#include "autostart_entry.h"
#include "cli.h"
#include "kwin_trust.h"
#include "run_options.h"

namespace {

struct te_autostart_args {
    std::string state;  // on or off
    te_run_options run;
};

// The session starts in another folder: a relative store path is made
// absolute here.
std::string te_absolute(const std::string& path) {
    if (path.empty() || path[0] == '/') return path;
    char cwd[PATH_MAX];
    return getcwd(cwd, sizeof cwd) ? std::string(cwd) + "/" + path : path;
}

int te_autostart_on(const te_cli& cli, const te_run_options& run) {
    std::string self = te_own_program_path();
    if (self.empty()) return te_fail_with("autostart", "cannot tell where te is installed");
    std::vector<std::string> command{self};
    for (const std::string& arg : te_run_arguments(run, te_absolute(cli.store))) command.push_back(arg);
    std::string entry = te_autostart_entry(TE_AUTOSTART_TE_RUN, command);
    if (entry.empty()) return te_usage_error("autostart", "an option holds a line break or control character");
    std::string error;
    bool manager_removed = false;
    if (!te_autostart_enable(TE_AUTOSTART_TE_RUN, entry, &manager_removed, &error)) return te_fail_with("autostart", error);
    std::printf("te starts with your desktop session: %s\n", te_autostart_path(TE_AUTOSTART_TE_RUN).c_str());
    if (run.mode.empty())
        std::printf("It watches typed triggers where the desktop lets it watch the keyboard, else the clipboard.\n");
    // Only one host runs the engine for a display.
    if (manager_removed) std::printf("velmora-manager no longer starts with your desktop session\n");
    return TE_EXIT_OK;
}

int te_autostart_off(void) {
    std::string error;
    int removed = te_autostart_disable(TE_AUTOSTART_TE_RUN, &error);
    if (removed < 0) return te_fail_with("autostart", error);
    std::printf(removed ? "te no longer starts with your desktop session\n"
                        : "te was not set to start with your desktop session\n");
    return TE_EXIT_OK;
}

int te_cmd_autostart(const te_cli& cli, const te_autostart_args& a) {
    if (te_autostart_path(TE_AUTOSTART_TE_RUN).empty())
        return te_fail_with("autostart", "neither XDG_CONFIG_HOME nor HOME is set");
    return a.state == "on" ? te_autostart_on(cli, a.run) : te_autostart_off();
}

}  // namespace

void te_add_autostart_command(te_cli& cli) {
    auto a = std::make_shared<te_autostart_args>();
    CLI::App* sub = cli.command("autostart", "Start `te run` with your desktop session (on), or stop doing so (off)",
                                TE_STORE_NONE, [&cli, a] { return te_cmd_autostart(cli, *a); });
    sub->add_option("STATE", a->state, "on or off")->required()->check(CLI::IsMember({"on", "off"}));
    te_add_run_options(sub, a->run);
    sub->footer("With `on`, the options given (and --store) are those `te run` gets.");
}
