// te run: the engine in the background until Ctrl-C, SIGTERM or `te stop`,
// one instance per user and desktop.
#include <chrono>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <memory>
#include <thread>
#include <unistd.h>

#include "cli.h"
#include "desktop_settle.h"
#include "file_watch.h"
#include "instance.h"
#include "json_text.h"
#include "rules_file.h"
#include "run_options.h"
#include "text_cells.h"
#include "textexpander.h"

namespace {

const int TE_RUN_TICK_MS = 50;

volatile std::sig_atomic_t te_stop_requested = 0;

void te_on_signal(int) { te_stop_requested = 1; }

void te_catch_stop_signals(void) {
    struct sigaction sa = {};
    sa.sa_handler = te_on_signal;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
}

// "14:02:11 >>addr in GEDIT", on one line whatever the trigger holds.
void te_log_expansion(const te_json_object& stats, long long count) {
    std::time_t now = std::time(nullptr);
    char clock[16];
    std::strftime(clock, sizeof clock, "%H:%M:%S", std::localtime(&now));
    std::string line = std::string(clock) + " " + te_one_line(stats.str("last_trigger"));
    std::string app = stats.str("last_app");
    if (!app.empty()) line += " in " + te_one_line(app);
    if (count > 1) line += " (and " + std::to_string(count - 1) + " more)";
    std::fprintf(stderr, "%s\n", line.c_str());
}

// Sets the rules kept beside the store whenever their file changed (a
// `te rule`, the manager window); a file that cannot be taken is reported
// and the rules stay as they were.
void te_follow_rules(te_file_watch& watch) {
    if (!watch.changed()) return;
    std::string error;
    if (!te_rules_file_apply(watch.path(), &error)) std::fprintf(stderr, "te run: rules: %s\n", error.c_str());
}

// Until a stop signal: follows the rules file, reports each new expansion
// and republishes the status whenever the count grows.
void te_watch_until_stopped(te_instance_lock& lock, te_instance_info& info, te_file_watch& watch, bool quiet) {
    long long base = te_json_object(te_stats_json()).num("expanded");
    while (!te_stop_requested) {
        te_follow_rules(watch);
        std::this_thread::sleep_for(std::chrono::milliseconds(TE_RUN_TICK_MS));
        te_json_object stats(te_stats_json());
        long long now = stats.num("expanded", base + info.expanded) - base;
        if (now <= info.expanded) continue;
        if (!quiet) te_log_expansion(stats, now - info.expanded);
        info.expanded = now;
        lock.publish(info);
    }
}

int te_cmd_run(const te_cli& cli, const te_run_options& o) {
    te_catch_stop_signals();
    std::string store = te_store_in_use(cli), error;
    te_instance_info info;
    // First: the instance lock is named after the desktop served.
    info.desktop = te_desktop_settle(o.desktop);
    te_instance_lock lock;
    if (!lock.acquire(store, &error)) return te_fail_with("run", error);
    std::string config = te_run_config(o, cli.store);
    if (config.empty()) return te_fail_with("run", "an option is not valid UTF-8");
    // Like the store, rules that cannot be read never count as none: a
    // block rule lost would let it expand where it must not.
    te_file_watch watch(te_rules_file_path(store));
    watch.changed();
    if (!te_rules_file_apply(watch.path(), &error)) return te_fail_with("run", error);
    if (!te_start(config.c_str())) return te_fail_typing("run");
    info.pid = (long)getpid();
    info.mode = o.mode.empty() ? "clipboard" : o.mode;
    info.started = (long long)std::time(nullptr);
    info.store = store;
    info.host = "te run";
    lock.publish(info);
    if (!o.quiet)
        std::fprintf(stderr, "te: running in %s mode on the %s desktop with %s (Ctrl-C or `te stop` ends it)\n",
                     info.mode.c_str(), info.desktop.c_str(), store.c_str());
    te_watch_until_stopped(lock, info, watch, o.quiet);
    te_stop();
    lock.release();
    return te_print_result("stats", te_stats_json());
}

}  // namespace

void te_add_run_command(te_cli& cli) {
    auto o = std::make_shared<te_run_options>();
    CLI::App* sub = cli.command("run", "Expand triggers as you work, until Ctrl-C or `te stop`", TE_STORE_OWN,
                                [&cli, o] { return te_cmd_run(cli, *o); });
    te_add_run_options(sub, *o);
    sub->footer("Prints a line per expansion on stderr and the statistics at the end.\n"
                "Only one runs per user and desktop; `te status` and `te stop` reach it.");
}
