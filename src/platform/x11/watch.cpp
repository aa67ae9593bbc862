// Waiting for the X desktop. XFixes reports every change of the CLIPBOARD
// owner on this thread's own connection, and the key listener (key_watch)
// its raw key and button events; the thread sleeps in poll() on that
// connection and on the wake-up pipe until one of them stirs or the time
// is up. Without a display, or a server without XFixes, only the pipe and
// the time are waited on, and the worker polls as before.
//
// Xlib reads ahead: events may already sit in its queue while the socket
// is quiet, so the queue is emptied before every poll(), and everything
// the socket holds is taken after it. Events other than the notifications
// are of no use to this thread (leftovers of clipboard reads, keyboard
// mapping changes caused by typing) and are dropped, the latter after
// Xlib's keysym cache has been told.
#include "clipboard_sequence.h"
#include "key_watch.h"
#include "platform.h"
#include "wake.h"
#include "x11_desktop.h"
#include "x11_display.h"

namespace {

thread_local int te_watching = 0;  // the TE_WATCH_* bits opened on this thread

// This thread's connection, with the notifications of what is watched
// asked for on it; null when nothing is watched or can be.
Display* te_watched_display() {
    Display* dpy = nullptr;
    if (te_watching & TE_WATCH_KEYS) dpy = te_key_watch_display();
    if (te_watching & TE_WATCH_CLIPBOARD) {
        Display* own = te_x11_display();
        if (own && te_x11_clipboard_watch(own)) dpy = own;
    }
    return dpy;
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
    if ((what & TE_WATCH_CLIPBOARD) && te_watched_display()) bits |= TE_WATCH_CLIPBOARD;
    return bits;
}

int te_x11_watch_wait(int ms) {
    std::uint64_t deadline = now_millis() + (std::uint64_t)(ms > 0 ? ms : 0);
    for (;;) {
        Display* dpy = te_watched_display();
        int bits = dpy ? te_take_events(dpy) : 0;
        if (bits) return bits;
        std::uint64_t now = now_millis();
        if (now >= deadline) return 0;
        // A lost connection stays readable; it is reopened on a later wait.
        int fd = dpy && !te_x11_lost() ? ConnectionNumber(dpy) : -1;
        int woke = te_wake_poll(fd, (int)(deadline - now));
        if (woke == TE_WAKE_WOKEN) return dpy ? te_take_events(dpy) : 0;
        // Nothing arrived: Xlib's queue is as empty as it was.
        if (woke == TE_WAKE_TIMEOUT && now_millis() >= deadline) return 0;
    }
}

int te_x11_watch_next_key(te_key_event* out) { return te_key_watch_next(out); }

int te_x11_keys_hold_begin(void) { return te_key_watch_hold_begin(); }

void te_x11_keys_hold_end(void) { te_key_watch_hold_end(); }

void te_x11_watch_close(void) {
    if (te_watching & TE_WATCH_KEYS) te_key_watch_close();
    te_watching = 0;
}
