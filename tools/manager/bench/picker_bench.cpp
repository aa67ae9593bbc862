// The snippet picker with 4,096 snippets on an X display without a window
// manager (scripts/test-x11.sh BUILD_DIR .../te_manager_bench): the chord
// to the picker shown and taking keys, a keystroke in its search field, and
// Enter to the first character in the window the user was in. Each reports
// the median of its iterations as "median_ms" too.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <algorithm>
#include <functional>
#include <vector>

#include "main_window.h"
#include "picker.h"
#include "picker_window.h"
#include "textexpander.h"

// Xlib's macros (True, False, None...) after every Qt header.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

QString te_bench_store();

namespace {

// The window the user was in: a plain X window of this process that
// records the keys it is sent, with the focus.
class te_receiver {
public:
    te_receiver() : m_display(XOpenDisplay(nullptr)) {
        m_window = XCreateSimpleWindow(m_display, DefaultRootWindow(m_display), 0, 0, 300, 200, 0, 0, 0);
        XSelectInput(m_display, m_window, KeyPressMask);
        XMapRaised(m_display, m_window);
        XSync(m_display, False);
    }
    ~te_receiver() { XCloseDisplay(m_display); }
    te_receiver(const te_receiver&) = delete;
    te_receiver& operator=(const te_receiver&) = delete;

    void take_focus() {
        XSetInputFocus(m_display, m_window, RevertToParent, CurrentTime);
        XSync(m_display, False);
        drain();
    }
    // Drops the keys received so far; true when there were any.
    bool drain() {
        bool any = false;
        while (XPending(m_display)) {
            XEvent e;
            XNextEvent(m_display, &e);
            any |= e.type == KeyPress;
        }
        return any;
    }
    bool has_focus() {
        Window w;
        int revert;
        XGetInputFocus(m_display, &w, &revert);
        return w == m_window;
    }
    // Presses and lets go of keys through XTest, as a keyboard would.
    void press(std::initializer_list<KeySym> keys) {
        for (KeySym k : keys) XTestFakeKeyEvent(m_display, XKeysymToKeycode(m_display, k), True, CurrentTime);
        for (KeySym k : keys) XTestFakeKeyEvent(m_display, XKeysymToKeycode(m_display, k), False, CurrentTime);
        XFlush(m_display);
    }

private:
    Display* m_display;
    Window m_window;
};

// Runs this program's event loop until `done` says yes; false when it
// has not after five seconds.
bool te_until(const std::function<bool()>& done, int bound_ms = 5000) {
    QElapsedTimer waited;
    waited.start();
    while (!done()) {
        if (waited.elapsed() > bound_ms) return false;
        QApplication::processEvents(QEventLoop::AllEvents, 1);
    }
    return true;
}

// A person's pause between closing the picker and opening it again: one
// opened again at once waits until Qt has let go of the focus it had
// (about 100 ms), which is not what opening it costs.
void te_pause(int ms) {
    QElapsedTimer t;
    t.start();
    te_until([&t, ms] { return t.elapsed() >= ms; });
}

void te_report_median(benchmark::State& state, std::vector<double>& ms) {
    std::sort(ms.begin(), ms.end());
    if (!ms.empty()) state.counters["median_ms"] = ms[ms.size() / 2];
}

struct te_picker_rig {
    te_main_window window{te_bench_store()};
    te_receiver receiver;
    te_picker_window* picker() { return window.picker()->window(); }
    bool taking_keys() { return picker()->isActiveWindow() && !receiver.has_focus(); }
    bool close() {
        receiver.press({XK_Escape});
        bool back = te_until([this] { return !picker()->isVisible() && receiver.has_focus(); });
        te_pause(300);
        return back;
    }
};

// The chord pressed over the receiver, to the picker shown and taking the
// keys; Escape and a pause between two.
void BM_picker_chord_to_keys(benchmark::State& state) {
    te_picker_rig rig;
    rig.receiver.take_focus();
    std::vector<double> ms;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        rig.receiver.press({XK_Control_L, XK_Alt_L, XK_space});
        if (!te_until([&rig] { return rig.taking_keys(); }))
            return state.SkipWithError("the picker did not take the keys");
        ms.push_back(clock.nsecsElapsed() / 1e6);
        state.SetIterationTime(ms.back() / 1e3);
        if (!rig.close()) return state.SkipWithError("Escape did not give the focus back");
    }
    te_report_median(state, ms);
}

// One keystroke in the picker's search field, as BM_search_keystroke in
// the window: the same word typed and cleared.
void BM_picker_search_keystroke(benchmark::State& state) {
    te_picker_rig rig;
    rig.window.picker()->open();
    auto* search = rig.picker()->findChild<QLineEdit*>("picker_search");
    const QString word = QStringLiteral("refund 7");
    int typed = 0;
    std::vector<double> ms;
    for (auto _ : state) {
        typed = typed == word.size() ? 0 : typed + 1;
        QElapsedTimer clock;
        clock.start();
        search->setText(word.left(typed));
        QApplication::processEvents();
        ms.push_back(clock.nsecsElapsed() / 1e6);
    }
    te_report_median(state, ms);
}

// Enter on a snippet found, to its first character in the receiver (the
// focus given back and the typing begun); the whole snippet typed before
// the next.
void BM_picker_enter_to_first_character(benchmark::State& state) {
    te_picker_rig rig;
    std::vector<double> ms;
    int finished = 0, typed = 0;
    QObject::connect(rig.window.picker(), &te_picker::finished, [&finished, &typed](int result) {
        finished++;
        typed += result == 1;
    });
    rig.receiver.take_focus();
    for (auto _ : state) {
        rig.receiver.press({XK_Control_L, XK_Alt_L, XK_space});
        if (!te_until([&rig] { return rig.taking_keys(); }))
            return state.SkipWithError("the picker did not take the keys");
        rig.picker()->findChild<QLineEdit*>("picker_search")->setText(QStringLiteral(";ref4087"));
        rig.receiver.drain();  // the chord's Ctrl and Alt
        int before = finished;
        QElapsedTimer clock;
        clock.start();
        rig.receiver.press({XK_Return});
        if (!te_until([&rig] { return rig.receiver.drain(); }))
            return state.SkipWithError("nothing reached the receiver");
        ms.push_back(clock.nsecsElapsed() / 1e6);
        state.SetIterationTime(ms.back() / 1e3);
        if (!te_until([&finished, before] { return finished > before; }) || typed != finished)
            return state.SkipWithError("the snippet was not typed");
        te_pause(300);
        rig.receiver.drain();
    }
    te_report_median(state, ms);
}

}  // namespace

BENCHMARK(BM_picker_chord_to_keys)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(40);
BENCHMARK(BM_picker_search_keystroke)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_picker_enter_to_first_character)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(20);
