#include "key_watch.h"

#include "key_hold.h"
#include "key_listener.h"
#include "key_queue.h"
#include "platform.h"
#include "x11_display.h"

#include <algorithm>

namespace {

// How long a refused connection is tried again, and how often.
const std::uint64_t TE_OPEN_RETRY_MS = 2000;
const int TE_OPEN_RETRY_EVERY_MS = 100;

struct te_key_watch {
    bool open = false;
    bool synthetic = false;
    unsigned connection = 0;  // the connection the listener was opened on
    te_key_listener listener;
    te_key_queue queue;
    bool typing = false;  // the characters of a typing are going out
    // The keyboards of a hold that ran out during the typing: the
    // modifiers held on them are lent once the typing is done.
    std::vector<int> lend_after_typing;
};
thread_local te_key_watch te_keys;

// A listener whose connection broke is dropped (its resources, its grabs
// among them, went with the connection); what was typed meanwhile is
// unknown, hence a reset.
void te_drop_broken(te_key_watch& w) {
    if (!w.listener.dpy || (!te_x11_lost() && te_x11_connection_id() == w.connection)) return;
    w.listener.dpy = nullptr;
    te_key_listener_close(&w.listener);
    te_key_queue_push(&w.queue, TE_KEY_RESET, nullptr);
}

Bool te_is_listeners(Display*, XEvent* ev, XPointer) {
    return te_key_listener_owns(&te_keys.listener, ev) || ev->type == MappingNotify;
}

// Takes every event of the listener queued or readable without blocking,
// and keyboard mapping changes (Xlib's keysym cache is told); says how
// many. Other events stay queued in order for whoever waits for them on
// this connection (the answer to a ping the typing sent).
int te_collect(Display* dpy) {
    int taken = 0;
    XEvent ev;
    while (!te_x11_lost() && XCheckIfEvent(dpy, &ev, te_is_listeners, nullptr)) {
        taken++;
        if (!te_key_watch_take(&ev)) XRefreshKeyboardMapping(&ev.xmapping);
    }
    return taken;
}

}  // namespace

int te_key_watch_open(bool synthetic) {
    te_keys.open = true;
    te_keys.synthetic = synthetic;
    std::uint64_t deadline = now_millis() + TE_OPEN_RETRY_MS;
    while (!te_key_watch_display()) {
        if (now_millis() >= deadline) return 0;
        thread_sleep_ms(TE_OPEN_RETRY_EVERY_MS);
        te_x11_retry_now();
    }
    return 1;
}

Display* te_key_watch_display(void) {
    te_key_watch& w = te_keys;
    if (!w.open) return nullptr;
    te_drop_broken(w);
    if (w.listener.dpy) return w.listener.dpy;
    Display* dpy = te_x11_display();
    if (!dpy || !te_key_listener_open(&w.listener, dpy, &w.queue, w.synthetic)) return nullptr;
    w.connection = te_x11_connection_id();
    return dpy;
}

int te_key_watch_take(XEvent* ev) { return te_keys.listener.dpy && te_key_listener_take(&te_keys.listener, ev); }

int te_key_watch_pending(void) { return te_keys.queue.count != 0; }

void te_key_watch_close(void) {
    te_key_watch& w = te_keys;
    te_key_watch_hold_end();
    if (w.listener.dpy) te_key_listener_close(&w.listener);
    te_key_queue_wipe(&w.queue);
    w.lend_after_typing.clear();
    w.open = false;
}

int te_key_watch_next(te_key_event* out) { return te_key_queue_pop(&te_keys.queue, out); }

int te_key_watch_hold_begin(void) {
    te_key_watch& w = te_keys;
    Display* dpy = te_key_watch_display();
    if (!dpy) return TE_HOLD_NONE;
    te_key_listener& l = w.listener;
    if (te_keyboard_grabbed_elsewhere(dpy, l.last_time)) {
        // What is typed there is not the user's typing to watch.
        te_key_queue_wipe(&w.queue);
        l.grabbed_elsewhere = true;
        return TE_HOLD_REFUSED;
    }
    int held = te_key_hold_grab(&l.hold, dpy, l.keyboards);
    // The keys that reached the window first came before the replies.
    te_collect(dpy);
    return held;
}

namespace {

// Ends the hold; `lend`: lends the modifiers the user still holds at once.
void te_hold_end(bool lend) {
    te_key_listener& l = te_keys.listener;
    if (l.dpy && !te_x11_lost() && l.hold.on) {
        if (!lend) te_keys.lend_after_typing = l.hold.grabbed;
        te_key_listener_mark_replay(&l, true);
        te_key_hold_release(&l.hold, l.dpy, te_collect, lend, l.lent);
        te_key_listener_mark_replay(&l, false);
    }
    te_key_hold_wipe(&l.hold);
}

}  // namespace

void te_key_watch_hold_end(void) { te_hold_end(true); }

int te_key_watch_let_go_in_hold(Display* dpy) {
    te_key_listener& l = te_keys.listener;
    if (!l.hold.on || l.dpy != dpy) return 0;
    te_key_hold_let_go(dpy);
    return 1;
}

void te_key_watch_hold_expire(void) {
    if (now_millis() >= te_key_watch_hold_deadline()) te_hold_end(!te_keys.typing);
}

void te_key_watch_typing(Display* dpy, bool on) {
    te_key_watch& w = te_keys;
    if (w.listener.dpy != dpy) return;
    w.typing = on;
    if (on || w.lend_after_typing.empty() || te_x11_lost()) return;
    te_key_hold_lend(dpy, w.lend_after_typing, w.listener.lent);
    w.lend_after_typing.clear();
}

std::uint64_t te_key_watch_hold_deadline(void) {
    const te_key_hold& h = te_keys.listener.hold;
    return h.on ? h.since + TE_HOLD_MAX_MS : UINT64_MAX;
}

void te_key_watch_sleep(int ms) {
    std::uint64_t end = now_millis() + (std::uint64_t)(ms > 0 ? ms : 0);
    for (;;) {
        std::uint64_t until = std::min(end, te_key_watch_hold_deadline()), now = now_millis();
        if (now < until) thread_sleep_ms((int)(until - now));
        if (until == end) return;
        te_key_watch_hold_expire();
    }
}

int te_key_watch_clicked_in_hold(Display* dpy) {
    te_key_listener& l = te_keys.listener;
    if (!l.hold.on || l.dpy != dpy) return 0;
    te_collect(dpy);
    return l.hold.clicked;
}
