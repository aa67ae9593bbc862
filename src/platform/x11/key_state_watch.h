// Raw key presses and releases of every keyboard, on this thread's
// connection, for the worker's wait in hotkey mode: the chord need only be
// looked at when a key went down or up. Keys other programs inject (XTest)
// count too, as the key states the hotkey poll reads include them.
#ifndef TE_X11_KEY_STATE_WATCH_H
#define TE_X11_KEY_STATE_WATCH_H

#include <X11/Xlib.h>

// Asks, once per connection, for those events; 1 when the server delivers
// them (it has XInput 2), else 0.
int te_x11_key_state_watch(Display* dpy);

// No longer asks for them on this thread's connection.
void te_x11_key_state_unwatch(void);

// 1 when `ev` is one of them.
int te_x11_key_state_event(const XEvent* ev);

#endif
