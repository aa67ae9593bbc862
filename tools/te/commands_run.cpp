// te run: the engine in the background until Ctrl-C or SIGTERM.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <chrono>

#include "commands.h"
#include "textexpander.h"

namespace {

volatile std::sig_atomic_t te_stop_requested = 0;

void te_on_signal(int) { te_stop_requested = 1; }

std::string te_json_string(const char* s) {
    std::string out = "\"";
    for (const char* p = s; *p; p++) {
        unsigned char c = (unsigned char)*p;
        if (c == '"' || c == '\\') {
            out += '\\';
            out += (char)c;
        } else if (c < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            out += buf;
        } else {
            out += (char)c;
        }
    }
    return out + "\"";
}

// The configuration from the flags; false on a flag it does not know.
bool te_run_config(int argc, char** argv, std::string* config) {
    std::string c;
    for (int i = 0; i < argc; i++) {
        std::string flag = argv[i];
        bool has_value = i + 1 < argc;
        if (flag == "--dry-run") c += ",\"dry_run\":true";
        else if (flag == "--mode" && has_value) c += ",\"mode\":" + te_json_string(argv[++i]);
        else if (flag == "--hotkey" && has_value) c += ",\"hotkey\":" + te_json_string(argv[++i]);
        else if (flag == "--store" && has_value) c += ",\"store\":" + te_json_string(argv[++i]);
        else if (flag == "--poll-ms" && has_value) c += ",\"poll_ms\":" + std::to_string(std::atol(argv[++i]));
        else return false;
    }
    *config = "{" + (c.empty() ? c : c.substr(1)) + "}";
    return true;
}

int te_cmd_run(int argc, char** argv) {
    std::string config;
    if (!te_run_config(argc, argv, &config)) {
        std::fprintf(stderr, "usage: te run [--mode clipboard|hotkey] [--hotkey CHORD] [--poll-ms N] "
                             "[--dry-run] [--store PATH]\n");
        return 2;
    }
    std::signal(SIGINT, te_on_signal);
    std::signal(SIGTERM, te_on_signal);
    if (!te_start(config.c_str())) return te_fail("run");
    std::fprintf(stderr, "te: running (Ctrl-C to stop)\n");
    while (!te_stop_requested) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    te_stop();
    return te_print_result("stats", te_stats_json());
}

}  // namespace

const te_command te_run_commands[] = {
    {"run", "[--mode clipboard|hotkey] [--hotkey CHORD] [--poll-ms N] [--dry-run] [--store PATH]", 0, 11,
     te_cmd_run},
};
const int te_run_command_count = 1;
