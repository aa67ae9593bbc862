// Keys mode, through the shared library, typed on the server's own
// keyboard device as a person's keyboard would type (te_test::keyboard):
//
// - LastKeyToFirstCharacter: " >>add" is typed, then r is pressed and let
//   go at once; from the press (as this process sees its XInput2 raw
//   event, as the worker does) to the address's first character in the
//   text window's record, in place of the trigger.
// - Rollover: the same, but the user goes on typing: a space is pressed
//   before r is let go. `expansion_ms` is the time from r's press to the
//   whole address in the window, `rollover_ms` to the space after it: what
//   holding the user's keys costs the typist.
// - UndoBackSpace: " btw" is typed and expands to "by the way"; from the
//   press of the BackSpace right after (its raw event) to the window holding
//   " btw" again in place of the expansion.
// Each run starts once the last has settled (the hold of the user's keys
// ends a short pause after their last key), as a person's next trigger
// would.
#include <benchmark/benchmark.h>

#include "textexpander.h"
#include "x11_harness.h"

#include <X11/extensions/XInput2.h>
#include <algorithm>
#include <cstdlib>
#include <poll.h>
#include <unistd.h>

namespace {

const std::string TE_ADDRESS = "123 Example Street\nAuckland 1010\nNew Zealand";

// Raw key presses of every keyboard, on the harness's connection.
int select_raw_keys(Display* dpy) {
    int opcode, event, error;
    if (!XQueryExtension(dpy, "XInputExtension", &opcode, &event, &error)) return -1;
    unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {0};
    XISetMask(bits, XI_RawKeyPress);
    XIEventMask mask = {XIAllMasterDevices, (int)sizeof bits, bits};
    XISelectEvents(dpy, DefaultRootWindow(dpy), &mask, 1);
    XSync(dpy, False);
    return opcode;
}

// The moment (monotonic ms) a raw press of `code` arrives, -1 on timeout.
long long pressed_at(Display* dpy, int opcode, int code) {
    long long end = te_test::millis() + 5000;
    while (te_test::millis() < end) {
        while (XPending(dpy)) {
            XEvent ev;
            XNextEvent(dpy, &ev);
            if (ev.xcookie.type != GenericEvent || ev.xcookie.extension != opcode) continue;
            if (!XGetEventData(dpy, &ev.xcookie)) continue;
            int detail = static_cast<XIRawEvent*>(ev.xcookie.data)->detail;
            XFreeEventData(dpy, &ev.xcookie);
            if (detail == code) return te_test::millis();
        }
        struct pollfd p = {ConnectionNumber(dpy), POLLIN, 0};
        poll(&p, 1, 50);
    }
    return -1;
}

// The moment the window's record starts with `want`, -1 on timeout.
long long arrived_at(const te_test::text_window& win, const std::string& want) {
    long long end = te_test::millis() + 5000;
    while (te_test::millis() < end) {
        std::string got = win.received();
        if (got.size() >= want.size() && got.compare(0, want.size(), want) == 0) return te_test::millis();
        usleep(200);
    }
    return -1;
}

// The moment the window's record is exactly `want`, -1 on timeout.
long long holds_at(const te_test::text_window& win, const std::string& want) {
    long long end = te_test::millis() + 5000;
    while (te_test::millis() < end) {
        if (win.received() == want) return te_test::millis();
        usleep(200);
    }
    return -1;
}

// Waits for the last run's hold to end, then drops the events seen so far.
void settle(Display* dpy) {
    usleep(50000);
    while (XPending(dpy)) {
        XEvent ev;
        XNextEvent(dpy, &ev);
    }
}

struct te_keys_desk {
    Display* dpy = te_test::display();
    te_test::text_window win;
    te_test::keyboard kb;
    int opcode = -1;
    int r_code = 0;
    bool ready = false;

    te_keys_desk() {
        std::string dir = te_test::temp_file("");
        setenv("APPDATA", dir.substr(0, dir.rfind('/')).c_str(), 1);
        opcode = dpy ? select_raw_keys(dpy) : -1;
        te_snippet_add("{\"trigger\":\"btw\",\"text\":\"by the way\"}");
        ready = opcode >= 0 && win.ready() && kb.ready() && te_start("{\"mode\":\"keys\"}");
        if (ready) r_code = XKeysymToKeycode(dpy, XStringToKeysym("r"));
    }
    ~te_keys_desk() { te_stop(); }
};

void report(benchmark::State& state, const char* name, std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    state.counters[std::string(name) + "median_ms"] = ms[ms.size() / 2];
    state.counters[std::string(name) + "p95_ms"] = ms[ms.size() * 95 / 100];
    state.counters[std::string(name) + "worst_ms"] = ms.back();
}

void BM_LastKeyToFirstCharacter(benchmark::State& state) {
    te_keys_desk d;
    if (!d.ready) return state.SkipWithError("no desktop");
    std::vector<double> ms;
    for (auto _ : state) {
        std::string base = d.win.received() + " ";
        d.kb.type(" >>add", 0);
        settle(d.dpy);  // and drops the presses of the prefix
        d.kb.type("r", 0);
        long long pressed = pressed_at(d.dpy, d.opcode, d.r_code);
        long long first = arrived_at(d.win, base + "1");
        if (pressed < 0 || first < 0) return state.SkipWithError("the address did not arrive");
        ms.push_back((double)(first - pressed));
        state.SetIterationTime(ms.back() / 1000.0);
        d.win.wait_for(base.size() + TE_ADDRESS.size(), 5000);
    }
    report(state, "", ms);
}

void BM_Rollover(benchmark::State& state) {
    te_keys_desk d;
    if (!d.ready) return state.SkipWithError("no desktop");
    std::vector<double> expansion, rollover;
    for (auto _ : state) {
        std::string base = d.win.received() + " ";
        d.kb.type(" >>add", 0);
        settle(d.dpy);
        d.kb.key("r", true);
        d.kb.key(" ", true);
        d.kb.key("r", false);
        d.kb.key(" ", false);
        long long pressed = pressed_at(d.dpy, d.opcode, d.r_code);
        long long whole = arrived_at(d.win, base + TE_ADDRESS);
        long long next = arrived_at(d.win, base + TE_ADDRESS + " ");
        if (pressed < 0 || whole < 0 || next < 0) return state.SkipWithError("the address did not arrive");
        expansion.push_back((double)(whole - pressed));
        rollover.push_back((double)(next - pressed));
        state.SetIterationTime(rollover.back() / 1000.0);
    }
    report(state, "expansion_", expansion);
    report(state, "rollover_", rollover);
}

void BM_UndoBackSpace(benchmark::State& state) {
    te_keys_desk d;
    if (!d.ready) return state.SkipWithError("no desktop");
    int backspace = XKeysymToKeycode(d.dpy, XStringToKeysym("BackSpace"));
    std::vector<double> ms;
    for (auto _ : state) {
        std::string base = d.win.received();
        d.kb.type(" btw", 0);
        if (holds_at(d.win, base + " by the way") < 0) return state.SkipWithError("btw did not expand");
        settle(d.dpy);
        d.kb.key("BackSpace", true);
        d.kb.key("BackSpace", false);
        long long pressed = pressed_at(d.dpy, d.opcode, backspace);
        long long back = holds_at(d.win, base + " btw");
        if (pressed < 0 || back < 0) return state.SkipWithError("the trigger did not come back");
        ms.push_back((double)(back - pressed));
        state.SetIterationTime(ms.back() / 1000.0);
    }
    report(state, "", ms);
}

BENCHMARK(BM_LastKeyToFirstCharacter)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(100);
BENCHMARK(BM_Rollover)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(100);
BENCHMARK(BM_UndoBackSpace)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(100);

}  // namespace
