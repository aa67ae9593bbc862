// The worker's idle cost in clipboard mode and te_stop's latency.
#include <algorithm>
#include <chrono>
#include <ctime>
#include <string>
#include <thread>
#include <vector>

#include <benchmark/benchmark.h>

#include "bench_support.h"
#include "engine.h"
#include "fake_desktop.h"
#include "textexpander.h"

namespace {

// At the 20 ms floor a run lasts two seconds; times are per kPolls polls.
const int kPolls = 100;

double process_cpu_seconds() {
    timespec ts;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec + ts.tv_nsec / 1e9;
}

// The polling design's floor: one read of the unchanged text per poll.
void BM_IdleBaselineBareReads(benchmark::State& state) {
    fake::set_clipboard_text(std::string(256 * 1024 - 1, 'c'));
    std::vector<char> buf(TE_CLIPBOARD_CAP);
    for (auto _ : state) {
        double t0 = process_cpu_seconds();
        for (int i = 0; i < kPolls; i++) benchmark::DoNotOptimize(get_clipboard_text_utf8(buf.data(), TE_CLIPBOARD_CAP));
        state.SetIterationTime(process_cpu_seconds() - t0);
    }
}

// What the polling design demands per poll: one read and one sleep, on a
// thread of its own like the worker's.
void BM_IdleBaselineReadAndSleep(benchmark::State& state) {
    fake::set_clipboard_text(std::string(256 * 1024 - 1, 'c'));
    for (auto _ : state) {
        double t0 = process_cpu_seconds();
        std::thread poller([] {
            std::vector<char> buf(TE_CLIPBOARD_CAP);
            for (int i = 0; i < kPolls; i++) {
                benchmark::DoNotOptimize(get_clipboard_text_utf8(buf.data(), TE_CLIPBOARD_CAP));
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
        });
        poller.join();
        state.SetIterationTime(process_cpu_seconds() - t0);
    }
}

// The worker with the same unchanged text: process CPU time while the
// main thread sleeps through about kPolls polls, scaled to exactly kPolls.
void BM_IdleWorkerClipboardMode(benchmark::State& state) {
    fake::set_clipboard_text(std::string(256 * 1024 - 1, 'c'));
    te_start("{\"poll_ms\":20,\"mode\":\"clipboard\"}");
    std::this_thread::sleep_for(std::chrono::milliseconds(100));  // first poll done
    for (auto _ : state) {
        int q0 = fake::clipboard_sequence_queries();
        double t0 = process_cpu_seconds();
        std::this_thread::sleep_for(std::chrono::milliseconds(20 * kPolls));
        double cpu = process_cpu_seconds() - t0;
        int polls = fake::clipboard_sequence_queries() - q0;
        state.SetIterationTime(cpu * kPolls / (polls > 0 ? polls : 1));
    }
    te_stop();
}

void BM_StopLatencyDefaultPoll(benchmark::State& state) {
    std::vector<double> ms;
    for (auto _ : state) {
        te_start("{\"poll_ms\":100}");
        std::this_thread::sleep_for(std::chrono::milliseconds(5 + ms.size() % 97));
        auto t0 = std::chrono::steady_clock::now();
        te_stop();
        double d = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
        ms.push_back(d);
        state.SetIterationTime(d / 1000.0);
    }
    std::sort(ms.begin(), ms.end());
    state.counters["median_ms"] = ms[ms.size() / 2];
    state.counters["worst_ms"] = ms.back();
}

}  // namespace

BENCHMARK(BM_IdleBaselineBareReads)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IdleBaselineReadAndSleep)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IdleWorkerClipboardMode)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StopLatencyDefaultPoll)->UseManualTime()->Iterations(100)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    te_bench::use_private_appdata();
    fake::set_foreground("editor.exe");
    te_snippet_count();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
