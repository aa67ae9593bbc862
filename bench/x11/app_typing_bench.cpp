// Typing into the programs people type into: xterm, a GTK 3 and a Qt 6
// text view, Chromium and Firefox ESR, each started once. Two texts of
// 2,000 characters: CJK of 200 kinds (the spare keycodes rebound in many
// rounds) and mixed scripts. Each iteration times type_text_utf8, which
// returns once the program has read the last key; `complete` is the share
// of iterations whose text arrived exactly.
//
//   scripts/test-x11.sh BUILD_DIR bench/x11/te_x11_app_typing_bench
#include <benchmark/benchmark.h>

#include "platform.h"
#include "receivers.h"
#include "x11_harness.h"

#include <map>
#include <memory>

namespace {

const size_t TE_CHARS = 2000;

te_test::receiver* te_program(const std::string& name) {
    static std::map<std::string, std::unique_ptr<te_test::receiver>> started;
    auto& r = started[name];
    if (!r) r = te_test::start_receiver(name);
    return r->ready() ? r.get() : nullptr;
}

void te_run(benchmark::State& state, const std::string& name, bool cjk) {
    te_test::receiver* into = te_program(name);
    if (!into) {
        state.SkipWithError((name + " did not start").c_str());
        return;
    }
    int complete = 0;
    unsigned seed = 1;
    for (auto _ : state) {
        const std::string text = cjk ? te_test::cjk_text(TE_CHARS, 200, 100 + seed) : te_test::mixed_text(TE_CHARS, seed);
        seed++;
        if (!into->begin()) {
            state.SkipWithError((name + " did not take keys").c_str());
            return;
        }
        long long start = te_test::millis();
        type_text_utf8(text.c_str(), 0);
        state.SetIterationTime((double)(te_test::millis() - start) / 1000.0);
        std::string seen;
        complete += into->arrived(text, 60000, &seen);
    }
    state.counters["complete"] = (double)complete / (double)state.iterations();
    state.counters["chars_per_s"] =
        benchmark::Counter((double)(TE_CHARS * state.iterations()), benchmark::Counter::kIsRate);
}

void te_register() {
    for (const char* name : {"xterm", "gtk", "qt", "chromium", "firefox"}) {
        for (bool cjk : {true, false}) {
            std::string title = std::string("BM_Type/") + name + (cjk ? "/cjk200" : "/mixed");
            benchmark::RegisterBenchmark(title.c_str(), [=](benchmark::State& s) { te_run(s, name, cjk); })
                ->Unit(benchmark::kMillisecond)
                ->UseManualTime()
                ->Iterations(10);
        }
    }
}

const int te_registered = (te_register(), 0);

}  // namespace
