// The key side of the worker's watch (watch.cpp): a key listener on the
// thread's own connection and the key events it gathered. Only the thread
// that opened it touches it.
#ifndef TE_X11_KEY_WATCH_H
#define TE_X11_KEY_WATCH_H

#include "platform.h"

#include <X11/Xlib.h>

// Opens the listener; 1 when it runs.
int te_key_watch_open(void);
// The connection it listens on, opened again after the old one broke (once
// the display can be reached); null when there is none.
Display* te_key_watch_display(void);
// Offers one event of that connection; 1 when it was the listener's.
int te_key_watch_take(XEvent* ev);
// 1 while key events wait to be taken.
int te_key_watch_pending(void);
// 1 and the oldest of them, 0 when none is left.
int te_key_watch_next(te_key_event* out);
// Closes the listener and wipes the events not taken.
void te_key_watch_close(void);

#endif
