// Typing on the session's desktop (TE_TEST_DESKTOP): 2,000 mixed-script
// characters (CJK and emoji among them, most through the paste path) into
// a native GTK 3 window, and 2,000 characters the layout has into a
// terminal (GTK's text view takes a key more slowly the longer its text:
// it, not the desktop, would be measured), against the baseline of one
// request per key event, each waited for (GNOME: a NotifyKeyboardKeysym
// call; KDE: a fake input key and a round trip). Each iteration gets a
// fresh window and a text on the clipboard (which the paste path saves and
// gives back), and counts until the last character has arrived;
// `complete` tells whether all of them did, in order.
#include <benchmark/benchmark.h>

#include "bus_harness.h"
#include "copier.h"
#include "engine_keymap.h"
#include "fake_input.h"
#include "platform.h"
#include "remote_desktop.h"
#include "session_bus.h"
#include "user_layout.h"
#include "utf8_codec.h"

#include <cstdlib>
#include <unistd.h>

namespace {

const std::size_t TE_CHARS = 2000;

// 2,000 characters every layout has on keys without modifiers.
std::string layout_text() {
    const char* keys = "abcdefghijklmnopqrstuvwxyz0123456789 ";
    std::string text;
    for (std::size_t i = 0; i < TE_CHARS; i++) text += keys[(i * 7) % 37];
    return text;
}

// One key event on GNOME, waiting for Mutter's answer.
bool gnome_key(std::uint32_t sym, bool pressed) {
    std::lock_guard<std::mutex> hold(te_bus_lock);
    sd_bus* bus = te_bus_locked();
    std::string session = bus ? te_gnome_session(bus, nullptr) : "";
    return !session.empty() && te_gnome_keysym(bus, session, sym, pressed, true);
}

// One key event on KDE, waiting for KWin to have handled it.
bool kde_key(std::uint32_t sym, bool pressed) {
    const te_layout_key* k = te_layout_key_for(te_user_layout(), sym);
    return k && te_kde_fake_input_keys({te_kde_key{k->code, pressed}});
}

// The baseline: each key pressed and released with a request of its own.
int type_one_by_one(const std::string& text) {
    bool gnome = te_bus_test::desktop() == "gnome";
    for (std::uint32_t cp : te_utf8_decode(text.c_str())) {
        std::uint32_t sym = te_wl_keysym_for_char(cp);
        for (bool pressed : {true, false})
            if (!(gnome ? gnome_key(sym, pressed) : kde_key(sym, pressed))) return -2;
    }
    return 0;
}

// Types `text` into a fresh window with the library (or the baseline) and
// times it until the last character arrived.
template <class Window>
void time_typing(benchmark::State& state, const std::string& text, bool baseline) {
    int complete = 1;
    double call_ms = 0;
    for (auto _ : state) {
        Window view;
        if (!view.ready()) return state.SkipWithError("the window got no focus");
        // The user's clipboard, saved and given back by a paste.
        if (te_bench_copy("the user's own clipboard") < 0) return state.SkipWithError("no copy");
        long long start = te_wl_test::millis();
        int r = baseline ? type_one_by_one(text) : type_text_utf8(text.c_str(), 0);
        call_ms += (double)(te_wl_test::millis() - start);
        long long end = te_wl_test::millis() + 30000;
        while (r == 0 && view.received().size() < text.size() && te_wl_test::millis() < end) usleep(500);
        state.SetIterationTime((double)(te_wl_test::millis() - start) / 1000.0);
        if (r != 0 || view.wait_for(text.size(), 0) != text) complete = 0;
    }
    state.counters["chars_per_s"] =
        benchmark::Counter((double)TE_CHARS, benchmark::Counter::kIsIterationInvariantRate);
    state.counters["complete"] = complete;
    // How long the typing call itself took, the compositor having taken
    // every key by its end: the rest is the window's.
    state.counters["call_ms"] = benchmark::Counter(call_ms, benchmark::Counter::kAvgIterations);
}

void BM_MixedScripts(benchmark::State& state) {
    state.SetLabel(te_bus_test::desktop());
    time_typing<te_bus_test::gtk_window>(state, te_wl_test::mixed_script_text(TE_CHARS), false);
}
BENCHMARK(BM_MixedScripts)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_LayoutCharacters(benchmark::State& state) {
    bool baseline = state.range(0) == 1;
    state.SetLabel(te_bus_test::desktop() + (baseline ? " one request per key event" : " type_text_utf8"));
    time_typing<te_bus_test::terminal_window>(state, layout_text(), baseline);
}
BENCHMARK(BM_LayoutCharacters)->Arg(0)->Arg(1)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
