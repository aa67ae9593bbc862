// How often an idle engine wakes on sway: nothing is copied or typed while
// the worker runs for 10 s; the wake-ups are the context switches of every
// thread of this process (/proc/self/task/*/status), per second, and the
// CPU time of the process. This program's own thread adds one wake-up for
// its sleep. With poll_ms 60000 the worker's safety poll is out of the
// way: what is left is the desktop's; so it is for a thread that waits on
// the clipboard watch without a time limit, as the worker does where the
// watch delivers everything its mode needs. Keys and hotkey modes read an
// empty device folder of their own.
#include <benchmark/benchmark.h>

#include "input_devices.h"
#include "platform.h"
#include "textexpander.h"
#include "wl_harness.h"

#include <atomic>
#include <chrono>
#include <ctime>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <string>
#include <thread>

namespace {

const int kSeconds = 10;

// The voluntary and involuntary context switches of every thread so far.
long long switches() {
    long long total = 0;
    DIR* dir = opendir("/proc/self/task");
    while (dirent* e = dir ? readdir(dir) : nullptr) {
        if (e->d_name[0] == '.') continue;
        std::ifstream status(std::string("/proc/self/task/") + e->d_name + "/status");
        for (std::string line; std::getline(status, line);) {
            std::size_t at = line.find("ctxt_switches:");
            if (at != std::string::npos) total += std::atoll(line.c_str() + at + 14);
        }
    }
    if (dir) closedir(dir);
    return total;
}

double cpu_ms() {
    timespec ts;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return (double)ts.tv_sec * 1e3 + (double)ts.tv_nsec / 1e6;
}

void count_idle(benchmark::State& state) {
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    for (auto _ : state) {
        long long before = switches();
        double cpu = cpu_ms();
        std::this_thread::sleep_for(std::chrono::seconds(kSeconds));
        state.counters["wakeups_per_s"] = (double)(switches() - before) / kSeconds;
        state.counters["cpu_ms"] = cpu_ms() - cpu;
    }
}

void idle(benchmark::State& state, const char* config) {
    setenv("APPDATA", te_wl_test::temp_dir().c_str(), 1);
    std::string devices = te_wl_test::temp_dir();
    te_wl_input_dir = devices.c_str();
    if (!te_start(config)) return state.SkipWithError(te_last_error());
    count_idle(state);
    te_stop();
}

void watch_without_limit(benchmark::State& state) {
    std::atomic<bool> stop{false};
    std::thread waiter([&stop] {
        watch_open(TE_WATCH_CLIPBOARD);
        while (!stop.load()) watch_wait(TE_WAIT_FOREVER);
        watch_close();
    });
    count_idle(state);
    stop.store(true);
    watch_wake();
    waiter.join();
}

}  // namespace

BENCHMARK_CAPTURE(idle, clipboard_poll_100ms, "{\"mode\":\"clipboard\"}")->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(idle, clipboard_poll_60s, "{\"mode\":\"clipboard\",\"poll_ms\":60000}")
    ->Iterations(1)
    ->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(idle, keys, "{\"mode\":\"keys\"}")->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(idle, hotkey_poll_100ms, "{\"mode\":\"hotkey\",\"hotkey\":\"CTRL+SHIFT+E\"}")
    ->Iterations(1)
    ->Unit(benchmark::kSecond);
BENCHMARK(watch_without_limit)->Iterations(1)->Unit(benchmark::kSecond);
