// From a copy to the first typed character on the session's desktop
// (TE_TEST_DESKTOP): the worker in clipboard mode with the default
// settings types into a GTK 3 window. The copying program is this one, on
// a connection of its own (copier.h); the time counts from the moment its clipboard was
// set.
#include <benchmark/benchmark.h>

#include "bus_harness.h"
#include "copier.h"
#include "textexpander.h"

#include <algorithm>
#include <cstdlib>
#include <unistd.h>

namespace {

const std::size_t TE_ADDRESS_BYTES = 44;  // "123 Example Street\nAuckland 1010\nNew Zealand"

// The moment the window holds more than `bytes`, -1 after five seconds.
long long arrival(const te_bus_test::gtk_window& view, std::size_t bytes) {
    long long end = te_wl_test::millis() + 5000;
    while (te_wl_test::millis() < end) {
        if (view.received().size() > bytes) return te_wl_test::millis();
        usleep(200);
    }
    return -1;
}

double percentile(std::vector<double> v, double p) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[(std::size_t)(p * (double)(v.size() - 1) + 0.5)];
}

void BM_CopyToFirstCharacter(benchmark::State& state) {
    state.SetLabel(te_bus_test::desktop());
    setenv("APPDATA", te_wl_test::temp_dir().c_str(), 1);
    te_bus_test::gtk_window view;
    if (!view.ready()) return state.SkipWithError("the GTK window got no focus");
    // The store starts with the default snippets, >>addr among them.
    if (!te_start("{\"mode\":\"clipboard\"}")) return state.SkipWithError(te_last_error());
    usleep(300000);
    std::vector<double> ms;
    int run = 0;
    for (auto _ : state) {
        std::size_t before = view.received().size();
        usleep((useconds_t)(++run * 37 % 100) * 1000);  // at every phase of the safety interval
        long long copied = te_bench_copy("run " + std::to_string(run) + " >>addr");
        long long first = copied < 0 ? -1 : arrival(view, before);
        if (first < 0) return state.SkipWithError("nothing was typed");
        arrival(view, before + TE_ADDRESS_BYTES - 1);
        ms.push_back((double)(first - copied));
    }
    te_stop();
    state.counters["median_ms"] = percentile(ms, 0.5);
    state.counters["p95_ms"] = percentile(ms, 0.95);
    state.counters["worst_ms"] = percentile(ms, 1.0);
}
BENCHMARK(BM_CopyToFirstCharacter)->Iterations(30)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
