// The worker's idle cost on a real X desktop: clipboard mode, an unchanged
// 256 KiB text owned by xclip, CPU time of this process per 1,000 polls,
// against the same number of bare reads of that text.
#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>
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

}  // namespace

BENCHMARK(BM_BareReads)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IdleWorker)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
