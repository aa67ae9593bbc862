// From the trigger's last key press to the first character of the
// expansion in the window, in keys mode: xdotool types " >>add" and then
// presses r, letting go at once (typing waits until no key is held, so a
// longer press adds its own length); this process sees the press as an
// XInput2 raw event, as the worker does, and then watches the text
// window's record until the address's first character has replaced the
// trigger.
#include <benchmark/benchmark.h>

#include "textexpander.h"
#include "x11_harness.h"

#include <X11/extensions/XInput2.h>
#include <algorithm>
#include <cstdlib>
#include <poll.h>
#include <unistd.h>

namespace {

const size_t TE_ADDRESS_BYTES = 44;  // "123 Example Street\nAuckland 1010\nNew Zealand"

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

// The moment the window's record reads `base` followed by the address's
// first character, -1 on timeout.
long long expanded_at(const te_test::text_window& win, const std::string& base) {
    std::string want = base + "1";
    long long end = te_test::millis() + 5000;
    while (te_test::millis() < end) {
        std::string got = win.received();
        if (got.size() >= want.size() && got.compare(0, want.size(), want) == 0) return te_test::millis();
        usleep(200);
    }
    return -1;
}

void BM_LastKeyToFirstCharacter(benchmark::State& state) {
    std::string dir = te_test::temp_file("");
    setenv("APPDATA", dir.substr(0, dir.rfind('/')).c_str(), 1);
    Display* dpy = te_test::display();
    te_test::text_window win;
    int opcode = dpy ? select_raw_keys(dpy) : -1;
    if (opcode < 0 || !win.ready() || !te_start("{\"mode\":\"keys\"}")) return state.SkipWithError("no desktop");
    int r_code = XKeysymToKeycode(dpy, XStringToKeysym("r"));
    std::vector<double> ms;
    for (auto _ : state) {
        std::string base = win.received() + " ";
        te_test::run({"xdotool", "type", " >>add"});
        while (XPending(dpy)) {  // the presses of the prefix
            XEvent ev;
            XNextEvent(dpy, &ev);
        }
        te_test::child press({"xdotool", "key", "--delay", "0", "r"});
        long long pressed = pressed_at(dpy, opcode, r_code);
        long long first = expanded_at(win, base);
        if (pressed < 0 || first < 0) return state.SkipWithError("the address did not arrive");
        ms.push_back((double)(first - pressed));
        state.SetIterationTime(ms.back() / 1000.0);
        win.wait_for(base.size() + TE_ADDRESS_BYTES, 5000);
    }
    te_stop();
    std::sort(ms.begin(), ms.end());
    state.counters["median_ms"] = ms[ms.size() / 2];
    state.counters["p95_ms"] = ms[ms.size() * 95 / 100];
    state.counters["worst_ms"] = ms.back();
}

BENCHMARK(BM_LastKeyToFirstCharacter)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(100);

}  // namespace
