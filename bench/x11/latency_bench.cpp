// From a copy to the first typed character: the worker in clipboard mode
// with the default settings (100 ms poll), a new "... >>addr" text copied
// with xclip each run, and the time from the moment the clipboard has its
// new owner to the first byte of the address arriving in the text window.
// The watching library against the polling one, in the same run.
#include <benchmark/benchmark.h>

#include "library_loader.h"
#include "x11_harness.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <unistd.h>

namespace {

const size_t TE_ADDRESS_BYTES = 44;  // "123 Example Street\nAuckland 1010\nNew Zealand"

// The moment (monotonic ms) CLIPBOARD got an owner other than `previous`.
long long owner_changed_at(Window previous) {
    long long end = te_test::millis() + 5000;
    while (te_test::millis() < end) {
        Window owner = te_test::clipboard_owner();
        if (owner != None && owner != previous) return te_test::millis();
        usleep(200);
    }
    return -1;
}

// The moment the window's record grew past `before` bytes, -1 on timeout.
long long first_byte_at(const te_test::text_window& win, size_t before) {
    long long end = te_test::millis() + 5000;
    while (te_test::millis() < end) {
        if (win.received().size() > before) return te_test::millis();
        usleep(200);
    }
    return -1;
}

void BM_CopyToFirstCharacter(benchmark::State& state) {
    const te_bench_library* lib = te_bench_load((int)state.range(0));
    if (!lib) return state.SkipWithError("library not loaded");
    state.SetLabel(lib->name);
    std::string dir = te_test::temp_file("");
    setenv("APPDATA", dir.substr(0, dir.rfind('/')).c_str(), 1);
    te_test::text_window win;
    if (!win.ready() || !lib->start("{\"mode\":\"clipboard\"}")) return state.SkipWithError("no desktop or no worker");
    usleep(300000);  // the worker's first poll takes the clipboard as it finds it
    std::unique_ptr<te_test::child> xclip;
    std::vector<double> ms;
    int run = 0;
    for (auto _ : state) {
        size_t before = win.received().size();
        std::string path = te_test::temp_file("run " + std::to_string(++run) + " >>addr");
        // Copies land at every phase of a polling worker's interval, not in
        // step with it.
        usleep((useconds_t)(run * 37 % 100) * 1000);
        // The old owner goes first: a new client may be given its window id.
        xclip.reset();
        Window previous = te_test::clipboard_owner();
        xclip = std::make_unique<te_test::child>(
            std::vector<std::string>{"xclip", "-quiet", "-selection", "clipboard", "-i", path});
        long long copied = owner_changed_at(previous);
        long long first = first_byte_at(win, before);
        if (copied < 0 || first < 0) {
            lib->stop();
            return state.SkipWithError("the address did not arrive");
        }
        ms.push_back((double)(first - copied));
        state.SetIterationTime(ms.back() / 1000.0);
        win.wait_for(before + TE_ADDRESS_BYTES, 5000);
    }
    lib->stop();
    std::sort(ms.begin(), ms.end());
    state.counters["median_ms"] = ms[ms.size() / 2];
    state.counters["p95_ms"] = ms[(ms.size() * 95 + 99) / 100 - 1];  // nearest rank
    state.counters["worst_ms"] = ms.back();
}

BENCHMARK(BM_CopyToFirstCharacter)
    ->Arg(TE_BENCH_WATCHING)
    ->Arg(TE_BENCH_POLLING)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(100);

}  // namespace
