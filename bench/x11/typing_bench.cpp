// Typing 2,000 mixed-script characters into the project's text window:
// type_text_utf8 against `xdotool type --delay 0` of the same text. Each
// iteration counts until the last character has arrived; the `complete`
// counter tells whether everything arrived, in order.
#include <benchmark/benchmark.h>

#include "platform.h"
#include "x11_harness.h"

#include <unistd.h>

namespace {

const size_t TE_CHARS = 2000;

te_test::text_window& window() {
    static te_test::text_window w;
    return w;
}

// What arrived after `before` bytes, and when the last of it came: waits
// until the whole text is there or nothing more came for half a second.
struct te_arrival {
    std::string text;
    long long last_ms;
};

te_arrival wait_arrival(size_t before, size_t bytes) {
    te_arrival a = {"", te_test::millis()};
    size_t seen = before;
    for (;;) {
        std::string got = window().received();
        long long now = te_test::millis();
        if (got.size() != seen) {
            seen = got.size();
            a.last_ms = now;
        }
        if (got.size() >= before + bytes || now - a.last_ms > 500) {
            a.text = got.size() > before ? got.substr(before) : "";
            return a;
        }
        usleep(500);
    }
}

// Times each iteration from the start of the typing to the arrival of its
// last character; `complete` is the share of iterations in which the text
// arrived exactly, every character in order.
template <typename Type>
void te_run_typing(benchmark::State& state, Type type) {
    if (!window().ready()) {
        state.SkipWithError("the text window did not start (is DISPLAY set?)");
        return;
    }
    const std::string text = te_test::mixed_text(TE_CHARS, 7);
    int complete = 0;
    for (auto _ : state) {
        size_t before = window().received().size();
        long long start = te_test::millis();
        type(text);
        te_arrival a = wait_arrival(before, text.size());
        complete += a.text == text;
        state.SetIterationTime((double)(a.last_ms - start) / 1000.0);
    }
    state.counters["complete"] = (double)complete / (double)state.iterations();
    state.counters["chars_per_s"] = benchmark::Counter((double)(TE_CHARS * state.iterations()),
                                                       benchmark::Counter::kIsRate);
}

void BM_TypeTextUtf8(benchmark::State& state) {
    te_run_typing(state, [](const std::string& text) { type_text_utf8(text.c_str(), 0); });
}

void BM_XdotoolTypeDelay0(benchmark::State& state) {
    te_run_typing(state, [](const std::string& text) { te_test::run({"xdotool", "type", "--delay", "0", text}, 120000); });
}

BENCHMARK(BM_TypeTextUtf8)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);
BENCHMARK(BM_XdotoolTypeDelay0)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

}  // namespace
