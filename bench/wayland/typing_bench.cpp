// Typing 2,000 mixed-script characters into foot: type_text_utf8 against
// `wtype` of the same text, in the same run. Each iteration counts until
// the last character has arrived (or nothing more came for a second); the
// `complete` counter tells whether everything arrived, in order.
#include <benchmark/benchmark.h>

#include "platform.h"
#include "wl_harness.h"

#include <unistd.h>

namespace {

const size_t TE_CHARS = 2000;

te_wl_test::sink& foot() {
    static te_wl_test::sink s;
    return s;
}

// What arrived after `before` bytes once all of it came, or nothing more
// came for a second.
std::string arrival(size_t before, size_t bytes) {
    long long last = te_wl_test::millis();
    size_t seen = before;
    for (;;) {
        std::string got = foot().received();
        long long now = te_wl_test::millis();
        if (got.size() != seen) {
            seen = got.size();
            last = now;
        }
        if (got.size() >= before + bytes || now - last > 1000) return got.size() > before ? got.substr(before) : "";
        usleep(500);
    }
}

void BM_TypeIntoFoot(benchmark::State& state) {
    if (!foot().ready()) return state.SkipWithError("foot did not start");
    const bool wtype = state.range(0) == 1;
    state.SetLabel(wtype ? "wtype" : "type_text_utf8");
    std::string text = te_wl_test::mixed_script_text(TE_CHARS);
    int complete = 1;
    for (auto _ : state) {
        size_t before = foot().received().size();
        if (wtype) te_wl_test::run({"wtype", text}, 120000);
        else type_text_utf8(text.c_str(), 0);
        if (arrival(before, text.size()) != text) complete = 0;
    }
    state.counters["chars_per_s"] = benchmark::Counter((double)TE_CHARS, benchmark::Counter::kIsIterationInvariantRate);
    state.counters["complete"] = complete;
}
BENCHMARK(BM_TypeIntoFoot)->Arg(0)->Arg(1)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
