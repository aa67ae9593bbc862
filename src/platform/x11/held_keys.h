// Keys the X server holds down: the key states of XQueryKeymap, and letting
// go of them before a text is typed.
#ifndef TE_X11_HELD_KEYS_H
#define TE_X11_HELD_KEYS_H

#include <X11/Xlib.h>

// 1 when the keycode is down in a key vector from XQueryKeymap.
int te_keymap_down(const char keys[32], int code);

// Waits (see key_release.h) until no key is held, then releases with XTest
// whatever is still down. Presses nothing. While the user's keys are held
// (key_hold.h) their keys cannot reach the window: then what is still down
// is released at once.
void te_let_go_of_keys(Display* dpy);

#endif
