// Keys the user holds when typing is about to start, as GetAsyncKeyState
// sees them: the keyboard's virtual keys, not the mouse buttons.
#ifndef TE_WIN32_HELD_KEYS_H
#define TE_WIN32_HELD_KEYS_H

#include "keyboard_seam.h"

// Waits (see key_release.h) until no key is held, then sends a key-up
// through send_input for every key still down. Presses nothing. While the
// user's keys are held (key_hook.h) they cannot reach the window: then what
// is still down is released at once.
void te_let_go_of_keys(te_send_input_fn send_input);

#endif
