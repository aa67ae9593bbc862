// te status | stop: the instance running in the background for this user
// and display.
#include <cstdio>
#include <ctime>

#include "cli.h"
#include "instance.h"

namespace {

const int TE_STOP_TIMEOUT_MS = 5000;
const int TE_REFRESH_WAIT_MS = 500;

// "3d 4h", "2h 05m", "4m 09s", "12s".
std::string te_duration(long long seconds) {
    if (seconds < 0) seconds = 0;
    long long d = seconds / 86400, h = seconds / 3600 % 24, m = seconds / 60 % 60, s = seconds % 60;
    char out[48];
    if (d) std::snprintf(out, sizeof out, "%lldd %lldh", d, h);
    else if (h) std::snprintf(out, sizeof out, "%lldh %02lldm", h, m);
    else if (m) std::snprintf(out, sizeof out, "%lldm %02llds", m, s);
    else std::snprintf(out, sizeof out, "%llds", s);
    return out;
}

int te_cmd_status(const te_cli& cli) {
    te_instance_info info;
    // A holder asleep while idle publishes its count when asked.
    te_instance_refresh(te_store_in_use(cli), TE_REFRESH_WAIT_MS);
    if (!te_instance_query(te_store_in_use(cli), &info)) {
        std::printf("te is not running\n");
        return TE_EXIT_NOT_RUNNING;
    }
    std::string host = info.host.empty() ? "" : " (" + info.host + ")";
    if (info.started <= 0) {  // locked, its status not written yet
        std::printf("te is running%s: pid %ld, starting\n", host.c_str(), info.pid);
        return TE_EXIT_OK;
    }
    std::printf("te is running%s: pid %ld, %s mode%s, up %s, %lld expansion%s\n", host.c_str(), info.pid,
                info.mode.empty() ? "unknown" : info.mode.c_str(), info.paused ? " (paused)" : "",
                te_duration((long long)std::time(nullptr) - info.started).c_str(), info.expanded,
                info.expanded == 1 ? "" : "s");
    if (!info.desktop.empty()) std::printf("desktop: %s\n", info.desktop.c_str());
    if (!info.store.empty()) std::printf("store: %s\n", info.store.c_str());
    return TE_EXIT_OK;
}

int te_cmd_stop(const te_cli& cli) {
    std::string store = te_store_in_use(cli), error;
    te_instance_info info;
    te_instance_query(store, &info);
    int r = te_instance_stop(store, TE_STOP_TIMEOUT_MS, &error);
    if (r < 0) return te_fail_with("stop", error);
    if (r == 0) std::printf("te is not running\n");
    else std::printf("te stopped (pid %ld)\n", info.pid);
    return TE_EXIT_OK;
}

}  // namespace

void te_add_background_commands(te_cli& cli) {
    CLI::App* sub = cli.command("status", "Tell whether te runs in the background (exit 3 when not)",
                                TE_STORE_NONE, [&cli] { return te_cmd_status(cli); });
    sub->footer("Shows the pid, mode, uptime, expansions, desktop and store of the running instance.");
    cli.command("stop", "Stop the te running in the background, and wait until it has", TE_STORE_NONE,
                [&cli] { return te_cmd_stop(cli); });
}
