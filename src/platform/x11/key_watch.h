// The key side of the worker's watch (watch.cpp): a key listener on the
// thread's own connection and the key events it gathered. Only the thread
// that opened it touches it.
#ifndef TE_X11_KEY_WATCH_H
#define TE_X11_KEY_WATCH_H

#include <X11/Xlib.h>

// Opens the listener; 1 when it runs.
int te_key_watch_open(void);
// The connection it listens on, opened again after the old one broke (once
// the display can be reached); null when there is none.
Display* te_key_watch_display(void);
// Offers one event of that connection; 1 when it was the listener's.
int te_key_watch_take(XEvent* ev);
// 1 while key events wait for watch_next_key.
int te_key_watch_pending(void);
// Closes the listener and wipes the events not taken.
void te_key_watch_close(void);

#endif
