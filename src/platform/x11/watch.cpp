// Waiting for the X desktop. XFixes reports every change of the CLIPBOARD
// owner on this thread's own connection, the key listener (key_watch) its
// raw key and button events, and the key state watch every key going down
// or up; the thread sleeps in poll() on that connection and on the wake-up
// pipe until one of them stirs or the time is up. A server without XFixes
// (or XInput 2) delivers nothing of that kind, and the worker polls. While
// the display cannot be reached, the wait tries it again every second; once
// it is back, what is watched counts as changed.
//
// Xlib reads ahead: events may already sit in its queue while the socket
// is quiet, so the queue is emptied before every poll(), and everything
// the socket holds is taken after it. Events other than the notifications
// are of no use to this thread (leftovers of clipboard reads, keyboard
// mapping changes caused by typing) and are dropped, the latter after
// Xlib's keysym cache has been told.
#include "clipboard_sequence.h"
#include "key_state_watch.h"
#include "key_watch.h"
#include "platform.h"
#include "wake.h"
#include "x11_desktop.h"
#include "x11_display.h"

#include <algorithm>

namespace {

// How often a wait tries to reach a display it lost.
const std::uint64_t TE_RECONNECT_EVERY_MS = 1000;

thread_local int te_watching = 0;  // the TE_WATCH_* bits opened on this thread
thread_local unsigned te_watched_connection = 0;  // the connection they were asked for on

// This thread's connection, with the notifications of what is watched
// asked for on it; null when nothing is watched or can be.
Display* te_watched_display() {
    Display* dpy = nullptr;
    if (te_watching & TE_WATCH_KEYS) dpy = te_key_watch_display();
    Display* own = te_watching & (TE_WATCH_CLIPBOARD | TE_WATCH_KEY_STATES) ? te_x11_display() : nullptr;
    if (own && (te_watching & TE_WATCH_CLIPBOARD) && te_x11_clipboard_watch(own)) dpy = own;
    if (own && (te_watching & TE_WATCH_KEY_STATES) && te_x11_key_state_watch(own)) dpy = own;
    return dpy;
}

// What may have changed while the display could not be reached: all that
// is watched, once a new connection is up.
int te_reconnected_bits() {
    if (te_x11_connection_id() == te_watched_connection) return 0;
    te_watched_connection = te_x11_connection_id();
    return te_watching & (TE_WATCH_CLIPBOARD | TE_WATCH_KEY_STATES);
}

// Takes every event queued or readable without blocking; the bits of what
// may have changed.
int te_take_events(Display* dpy) {
    int bits = 0;
    XEvent ev;
    while (!te_x11_lost() && XPending(dpy) > 0) {
        XNextEvent(dpy, &ev);
        if (te_key_watch_take(&ev))
            continue;
        if (te_x11_clipboard_event(&ev))
            bits |= TE_WATCH_CLIPBOARD;
        else if (te_x11_key_state_event(&ev))
            bits |= TE_WATCH_KEY_STATES;
        else if (ev.type == MappingNotify)
            XRefreshKeyboardMapping(&ev.xmapping);
    }
    return te_key_watch_pending() ? bits | TE_WATCH_KEYS : bits;
}

}  // namespace

int te_x11_watch_open(int what) {
    te_watching = what;
    bool synthetic = (what & TE_WATCH_SYNTHETIC_KEYS) != 0;
    int bits = (what & TE_WATCH_KEYS) && te_key_watch_open(synthetic) ? TE_WATCH_KEYS : 0;
    if (Display* dpy = te_watched_display()) {
        if ((what & TE_WATCH_CLIPBOARD) && te_x11_clipboard_watch(dpy)) bits |= TE_WATCH_CLIPBOARD;
        if ((what & TE_WATCH_KEY_STATES) && te_x11_key_state_watch(dpy)) bits |= TE_WATCH_KEY_STATES;
    }
    te_watched_connection = te_x11_connection_id();
    return bits;
}

int te_x11_watch_wait(int ms) {
    std::uint64_t deadline = now_millis() + (std::uint64_t)(ms > 0 ? ms : 0);
    for (;;) {
        Display* dpy = te_watched_display();
        int bits = dpy ? te_reconnected_bits() | te_take_events(dpy) : 0;
        if (bits) return bits;
        std::uint64_t now = now_millis();
        if (now >= deadline) return 0;
        // A lost connection stays readable; it is reopened on a later round.
        bool connected = dpy && !te_x11_lost();
        std::uint64_t until = connected || !te_watching ? deadline : std::min(deadline, now + TE_RECONNECT_EVERY_MS);
        int woke = te_wake_poll(connected ? ConnectionNumber(dpy) : -1, (int)(until - now));
        if (woke == TE_WAKE_WOKEN) return connected ? te_take_events(dpy) : 0;
        // Nothing arrived: Xlib's queue is as empty as it was.
        if (woke == TE_WAKE_TIMEOUT && now_millis() >= deadline) return 0;
    }
}

int te_x11_watch_next_key(te_key_event* out) { return te_key_watch_next(out); }

int te_x11_keys_hold_begin(void) { return te_key_watch_hold_begin(); }

void te_x11_keys_hold_end(void) { te_key_watch_hold_end(); }

void te_x11_watch_close(void) {
    if (te_watching & TE_WATCH_KEYS) te_key_watch_close();
    if (te_watching & TE_WATCH_KEY_STATES) te_x11_key_state_unwatch();
    te_watching = 0;
}
