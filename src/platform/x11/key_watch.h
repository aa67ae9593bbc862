// The key side of the worker's watch (watch.cpp): a key listener on the
// thread's own connection and the key events it gathered. Only the thread
// that opened it touches it.
#ifndef TE_X11_KEY_WATCH_H
#define TE_X11_KEY_WATCH_H

#include "platform.h"

#include <X11/Xlib.h>
#include <cstdint>

// Opens the listener (with `synthetic`, XTest devices' keys count as the
// user's); 1 when it runs. A connection the server refuses is tried again
// for about two seconds: a server that is starting or resetting refuses
// connections for a moment.
int te_key_watch_open(bool synthetic);
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

// keys_hold_begin and keys_hold_end (platform.h) on this thread's listener.
int te_key_watch_hold_begin(void);
void te_key_watch_hold_end(void);

// While this thread holds the user's keys (keys_hold_begin), typing on
// `dpy` need not wait for keys to be let go: this releases the keys the
// core keyboard counts as down and returns 1. 0 when no hold is on.
int te_key_watch_let_go_in_hold(Display* dpy);
// Ends this thread's hold once it has lasted TE_HOLD_MAX_MS. While the
// characters of a typing go out, the modifiers the user holds then are
// lent (key_hold.h) only once they are all out.
void te_key_watch_hold_expire(void);
// Whether the characters of a typing on `dpy` are going out: on before
// the first, off after the last.
void te_key_watch_typing(Display* dpy, bool on);
// When this thread's hold has lasted TE_HOLD_MAX_MS (the now_millis()
// clock); UINT64_MAX while no hold is on. A wait during a hold goes no
// further than this, ends the hold there (te_key_watch_hold_expire), and
// may then go on.
std::uint64_t te_key_watch_hold_deadline(void);
// Sleeps `ms`, ending this thread's hold on time on the way.
void te_key_watch_sleep(int ms);
// During this thread's hold on `dpy`: takes the events that came, and 1
// when a mouse button was pressed since the hold began. 0 when no hold is
// on there.
int te_key_watch_clicked_in_hold(Display* dpy);

#endif
