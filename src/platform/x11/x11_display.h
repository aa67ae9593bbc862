// This thread's connection to the X server, and the small helpers every
// part of the X11 desktop shares.
#ifndef TE_X11_DISPLAY_H
#define TE_X11_DISPLAY_H

#include <X11/Xlib.h>
#include <cstdint>

// The calling thread's display connection, opened on first use; null when
// DISPLAY is unset, the server cannot be reached, or the connection was
// lost. A failed open is retried at most once a second per thread, so a
// desktop without a display stays cheap to ask.
Display* te_x11_display();

// Tells connections apart: a number that changes with every connection
// this thread opens (0 before the first).
unsigned te_x11_connection_id();

// The next te_x11_display() on this thread tries to connect at once,
// even within the retry delay of a failed open.
void te_x11_retry_now();

// 1 once the connection of this thread has broken; it is closed and
// reopened on the next te_x11_display() after the retry delay.
int te_x11_lost();

// 1 when the server offers the XTest extension (asked once per connection).
int te_x11_has_xtest(Display* dpy);

// A new unmapped window of our own on `dpy` that receives property changes;
// it lasts until destroyed or until the connection closes.
Window te_x11_property_window(Display* dpy);

// Such a window kept for this connection: the requestor window for
// selections.
Window te_x11_helper_window(Display* dpy);

// The window that has the input focus: None, PointerRoot, or a window.
Window te_x11_input_focus(Display* dpy);

// The parent of w; None when w is a top-level window (its parent is the
// root) or cannot be asked.
Window te_x11_parent(Display* dpy, Window w);

// Protocol errors on our connection are counted instead of ending the
// process. te_x11_errors_since() syncs and returns how many arrived since
// the matching te_x11_errors_mark().
void te_x11_errors_mark();
int te_x11_errors_since(Display* dpy);

// Waits until an event of `type` for window `w` is queued, or the deadline
// (now_millis() clock) passes; 1 with the event in *ev, else 0.
int te_x11_wait_event(Display* dpy, Window w, int type, XEvent* ev, std::uint64_t deadline);

#endif
