// The worker's idle cost on a real X desktop: clipboard mode, an unchanged
// 256 KiB text owned by xclip, CPU time of this process per 1,000 polls,
// against the same number of bare reads of that text; and the wake-ups of
// the whole process (every thread) over 10 s of an idle engine in each
// mode, at the default poll interval.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <dirent.h>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

#include "engine.h"
#include "platform.h"
#include "textexpander.h"
#include "x11_harness.h"

namespace {

const int kPollMs = 20;
const int kPolls = 100;

double process_cpu_seconds() {
    timespec ts;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec + ts.tv_nsec / 1e9;
}

std::unique_ptr<te_test::child> own_large_clipboard() {
    std::string path = te_test::temp_file(std::string(256 * 1024 - 1, 'c'));
    auto xclip = std::make_unique<te_test::child>(
        std::vector<std::string>{"xclip", "-quiet", "-selection", "clipboard", "-i", path});
    usleep(300000);
    return xclip;
}

void BM_BareReads(benchmark::State& state) {
    auto owner = own_large_clipboard();
    std::vector<char> buf(TE_CLIPBOARD_CAP);
    for (auto _ : state) {
        double t0 = process_cpu_seconds();
        for (int i = 0; i < kPolls; i++)
            if (!get_clipboard_text_utf8(buf.data(), TE_CLIPBOARD_CAP)) return state.SkipWithError("no text");
        state.SetIterationTime(process_cpu_seconds() - t0);
    }
}

// Polls are counted from the elapsed time: each takes at least kPollMs,
// so the count is an upper bound and the cost per poll a lower bound
// within a few per cent (the poll's own work is well under a millisecond).
void BM_IdleWorker(benchmark::State& state) {
    auto owner = own_large_clipboard();
    te_start("{\"mode\":\"clipboard\",\"poll_ms\":20}");
    usleep(200000);  // the first poll reads the text once
    for (auto _ : state) {
        double t0 = process_cpu_seconds();
        auto w0 = std::chrono::steady_clock::now();
        std::this_thread::sleep_for(std::chrono::milliseconds(kPollMs * kPolls));
        double wall_ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - w0).count();
        double polls = wall_ms / kPollMs;
        state.SetIterationTime((process_cpu_seconds() - t0) * kPolls / polls);
    }
    te_stop();
}

// Voluntary context switches of every thread of this process so far: each
// is a thread going to sleep, so each one after the first is a wake-up.
long long process_wakeups() {
    long long sum = 0;
    DIR* d = opendir("/proc/self/task");
    if (!d) return -1;
    while (dirent* e = readdir(d)) {
        if (e->d_name[0] == '.') continue;
        std::ifstream status(std::string("/proc/self/task/") + e->d_name + "/status");
        for (std::string line; std::getline(status, line);)
            if (line.rfind("voluntary_ctxt_switches:", 0) == 0) sum += std::atoll(line.c_str() + 24);
    }
    closedir(d);
    return sum;
}

const char* const kIdleConfigs[] = {"{\"mode\":\"clipboard\"}", "{\"mode\":\"hotkey\",\"hotkey\":\"ctrl+shift+f12\"}",
                                    "{\"mode\":\"keys\"}"};
const char* const kIdleModes[] = {"clipboard", "hotkey", "keys"};
const int kIdleSeconds = 10;

// Nothing is copied or typed: every wake-up is the engine's own (and one
// of this thread, at the end of its sleep).
void BM_IdleProcessWakeups(benchmark::State& state) {
    std::string dir = te_test::temp_file("");
    setenv("APPDATA", dir.substr(0, dir.rfind('/')).c_str(), 1);
    auto owner = te_test::child({"xclip", "-quiet", "-selection", "clipboard", "-i", te_test::temp_file("unchanged")});
    usleep(300000);
    state.SetLabel(kIdleModes[state.range(0)]);
    if (te_start(kIdleConfigs[state.range(0)]) != 1) return state.SkipWithError(te_last_error());
    usleep(300000);
    long long w0 = 0, w1 = 0;
    for (auto _ : state) {
        w0 = process_wakeups();
        std::this_thread::sleep_for(std::chrono::seconds(kIdleSeconds));
        w1 = process_wakeups();
        state.SetIterationTime(kIdleSeconds);
    }
    te_stop();
    state.counters["wakeups_per_s"] = (double)(w1 - w0) / kIdleSeconds;
}

}  // namespace

BENCHMARK(BM_IdleProcessWakeups)->DenseRange(0, 2)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareReads)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IdleWorker)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
