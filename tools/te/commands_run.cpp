// te run: the engine in the background until Ctrl-C, SIGTERM or `te stop`,
// one instance per user and desktop.
//
// While nothing happens it sleeps: the main thread waits on the signals
// (through a pipe their handler writes to) and on the folder of the rules
// file, and looks at the statistics only as often as the lines it prints
// need (they name the second), or never when it prints none or the
// desktop can expand nothing. `te status` then asks for the count with
// SIGUSR1.
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <memory>
#include <poll.h>
#include <unistd.h>

#include "cli.h"
#include "desktop_settle.h"
#include "file_notify.h"
#include "file_watch.h"
#include "instance.h"
#include "json_text.h"
#include "private_file.h"
#include "rules_file.h"
#include "run_options.h"
#include "text_cells.h"
#include "textexpander.h"

namespace {

// Printed lines name the second an expansion was seen in.
const int TE_LOG_LOOK_MS = 1000;
// Where the rules file's folder cannot be watched, it is looked at this
// often instead.
const int TE_RULES_LOOK_MS = 2000;

int te_signal_pipe[2] = {-1, -1};

void te_on_signal(int signal) {
    char byte = (char)signal;
    ssize_t written = write(te_signal_pipe[1], &byte, 1);
    (void)written;
}

bool te_catch_signals(void) {
    if (pipe(te_signal_pipe) != 0) return false;
    for (int fd : te_signal_pipe) fcntl(fd, F_SETFD, FD_CLOEXEC);
    fcntl(te_signal_pipe[0], F_SETFL, O_NONBLOCK);
    struct sigaction sa = {};
    sa.sa_handler = te_on_signal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (int signal : {SIGINT, SIGTERM, SIGUSR1}) sigaction(signal, &sa, nullptr);
    return true;
}

// The signals that came since the last look: true when one asks to stop;
// *asked when `te status` asked for the count.
bool te_take_signals(bool* asked) {
    char bytes[64];
    bool stop = false;
    ssize_t n;
    while ((n = read(te_signal_pipe[0], bytes, sizeof bytes)) > 0)
        for (ssize_t i = 0; i < n; i++) {
            if (bytes[i] == SIGUSR1) *asked = true;
            else stop = true;
        }
    return stop;
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

// What the loop keeps between its wake-ups.
struct te_run_loop {
    te_instance_lock* lock;
    te_instance_info* info;
    te_file_watch* rules;
    long long base = 0;  // the engine's count when the loop began
    bool quiet = false;
    int look_ms = -1;    // how often the statistics are looked at; -1 never
};

// Prints a line for the expansions since the last look and publishes the
// count when it grew, or whenever `asked`.
void te_report(te_run_loop& r, bool asked) {
    te_json_object stats(te_stats_json());
    long long now = stats.num("expanded", r.base + r.info->expanded) - r.base;
    if (now <= r.info->expanded && !asked) return;
    if (now > r.info->expanded && !r.quiet) te_log_expansion(stats, now - r.info->expanded);
    r.info->expanded = now > r.info->expanded ? now : r.info->expanded;
    r.lock->publish(*r.info);
}

// Until a stop signal: follows the rules file, reports new expansions.
void te_run_until_stopped(te_run_loop& r, te_file_notify& notify) {
    int wait_ms = r.look_ms;
    if (notify.fd() < 0 && (wait_ms < 0 || wait_ms > TE_RULES_LOOK_MS)) wait_ms = TE_RULES_LOOK_MS;
    for (;;) {
        pollfd fds[2] = {{te_signal_pipe[0], POLLIN, 0}, {notify.fd(), POLLIN, 0}};
        int n = poll(fds, notify.fd() >= 0 ? 2 : 1, wait_ms);
        if (n < 0 && errno != EINTR) return;
        bool asked = false;
        if (n > 0 && fds[0].revents && te_take_signals(&asked)) return;
        if (n > 0 && fds[1].revents) notify.drain();
        if (n == 0 || (n > 0 && fds[1].revents)) te_follow_rules(*r.rules);
        if (asked || (n == 0 && r.look_ms >= 0)) te_report(r, asked);
    }
}

// The options with the mode set: the start's configuration.
std::string te_config_in(te_run_options o, const std::string& mode, const std::string& store) {
    o.mode = mode;
    return te_run_config(o, store);
}

// Starts the engine in the mode asked for; without one, in keys mode
// (typed triggers) where the desktop can watch the keyboard, else in
// clipboard mode, saying why. The mode that runs, or "" (the reason
// printed).
std::string te_start_engine(const te_run_options& o, const std::string& store) {
    std::string first = o.mode.empty() ? "keys" : o.mode;
    std::string config = te_config_in(o, first, store);
    if (config.empty()) {
        te_fail_with("run", "an option is not valid UTF-8");
        return "";
    }
    if (te_start(config.c_str())) return first;
    std::string why = te_last_error();
    if (!o.mode.empty() || !te_start(te_config_in(o, "clipboard", store).c_str())) {
        te_fail_typing("run");
        return "";
    }
    std::fprintf(stderr, "te: typed triggers cannot run here (%s): clipboard mode runs instead\n", why.c_str());
    return "clipboard";
}

int te_cmd_run(const te_cli& cli, const te_run_options& o) {
    if (!te_catch_signals()) return te_fail_with("run", "cannot catch signals");
    std::string store = te_store_in_use(cli), error;
    te_instance_info info;
    // First: the instance lock is named after the desktop served.
    // With no --desktop nor TE_DESKTOP, a session without a desktop has
    // nothing to watch or type into: said, rather than running for nothing.
    bool forced = !o.desktop.empty() || std::getenv("TE_DESKTOP");
    info.desktop = te_desktop_settle(o.desktop);
    if (!forced && info.desktop == "none")
        return te_fail_with("run", "no desktop here: neither a Wayland compositor (WAYLAND_DISPLAY) nor an X "
                                   "display (DISPLAY) to watch or type into. Run it in your desktop session "
                                   "(`te run --desktop none` runs anyway)");
    te_instance_lock lock;
    if (!lock.acquire(store, &error)) return te_fail_with("run", error);
    // Like the store, rules that cannot be read never count as none: a
    // block rule lost would let it expand where it must not.
    std::string rules_path = te_rules_file_path(store);
    te_make_parent_dirs(rules_path);  // its folder is watched
    te_file_notify notify(rules_path);
    te_file_watch watch(rules_path);
    watch.changed();
    if (!te_rules_file_apply(watch.path(), &error)) return te_fail_with("run", error);
    info.mode = te_start_engine(o, cli.store);
    if (info.mode.empty()) return TE_EXIT_FAILED;
    info.pid = (long)getpid();
    info.started = (long long)std::time(nullptr);
    info.store = store;
    info.host = "te run";
    info.refresh = "SIGUSR1";
    lock.publish(info);
    if (!o.quiet)
        std::fprintf(stderr, "te: running in %s mode on the %s desktop with %s (Ctrl-C or `te stop` ends it)\n",
                     info.mode.c_str(), info.desktop.c_str(), store.c_str());
    te_run_loop loop{&lock, &info, &watch};
    loop.base = te_json_object(te_stats_json()).num("expanded");
    loop.quiet = o.quiet;
    // Lines to print, on a desktop where something can be expanded.
    loop.look_ms = o.quiet || info.desktop == "none" ? -1 : TE_LOG_LOOK_MS;
    te_run_until_stopped(loop, notify);
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
    sub->footer("Without --mode: typed triggers where the desktop lets te watch the keyboard, else the\n"
                "clipboard (it says why). Prints a line per expansion on stderr and the statistics at the end.\n"
                "Only one runs per user and desktop; `te status` and `te stop` reach it.");
}
