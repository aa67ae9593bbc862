// Knowing that the focused program has taken in every key typed so far.
//
// A program translates a key event with the keyboard mapping it holds when
// it reads the event, not the one the event was typed with; the spare
// keycodes must not be rebound while earlier keys still wait unread.
// Programs that list _NET_WM_PING in WM_PROTOCOLS (GTK, Qt, Chromium,
// Firefox...) answer a ping only after reading every event queued before
// it: the answer says they are done.
#ifndef TE_X11_PING_H
#define TE_X11_PING_H

#include <X11/Xlib.h>

// The focus window or its nearest ancestor that lists _NET_WM_PING; None
// when there is none.
Window te_ping_target(Display* dpy);

// Pings `target` and waits up to timeout_ms for its answer. 1 answered,
// 0 not in time. A hold of the user's keys that runs out during the wait
// is ended then (key_watch.h); the wait goes on.
int te_ping(Display* dpy, Window target, int timeout_ms);

#endif
