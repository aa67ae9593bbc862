// The clipboard's change notifications on this thread's connection, shared
// by the change count (clipboard_sequence) and the worker's wait (watch).
#ifndef TE_X11_CLIPBOARD_SEQUENCE_H
#define TE_X11_CLIPBOARD_SEQUENCE_H

#include <X11/Xlib.h>

// Asks, once per connection, for XFixes notifications whenever CLIPBOARD
// changes hands; 1 when the server delivers them, 0 when it has no XFixes.
int te_x11_clipboard_watch(Display* dpy);

// 1 when `ev` is one of those notifications, which then counts as a change.
int te_x11_clipboard_event(const XEvent* ev);

#endif
