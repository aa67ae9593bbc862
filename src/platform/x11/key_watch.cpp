#include "key_watch.h"

#include "key_hold.h"
#include "key_listener.h"
#include "key_queue.h"
#include "platform.h"
#include "x11_display.h"

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

// Takes every event queued or readable without blocking. In keys mode
// nothing else is watched on this connection: other events are dropped,
// keyboard mapping changes after Xlib's keysym cache has been told.
void te_collect(Display* dpy) {
    XEvent ev;
    while (!te_x11_lost() && XPending(dpy) > 0) {
        XNextEvent(dpy, &ev);
        if (!te_key_watch_take(&ev) && ev.type == MappingNotify) XRefreshKeyboardMapping(&ev.xmapping);
    }
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

void te_key_watch_hold_end(void) {
    te_key_listener& l = te_keys.listener;
    if (l.dpy && !te_x11_lost() && l.hold.on) {
        te_key_listener_mark_replay(&l, true);
        te_key_hold_release(&l.hold, l.dpy, te_collect);
        te_key_listener_mark_replay(&l, false);
    }
    te_key_hold_wipe(&l.hold);
}

int te_key_watch_let_go_in_hold(Display* dpy) {
    te_key_listener& l = te_keys.listener;
    if (!l.hold.on || l.dpy != dpy) return 0;
    te_key_hold_let_go(dpy);
    return 1;
}

void te_key_watch_hold_expire(void) {
    const te_key_hold& h = te_keys.listener.hold;
    if (h.on && now_millis() - h.since >= (std::uint64_t)TE_HOLD_MAX_MS) te_key_watch_hold_end();
}
