// Keys the user holds when typing is about to start, as GetAsyncKeyState
// sees them: the keyboard's virtual keys, not the mouse buttons.
#ifndef TE_WIN32_HELD_KEYS_H
#define TE_WIN32_HELD_KEYS_H

#include "keyboard_seam.h"

// The most releases te_releases_of_keys_down writes: one per key code from
// VK_BACK to 0xFE (the codes below are the mouse buttons and VK_CANCEL).
const int TE_KEY_RELEASES_CAP = 0xFE - 0x08 + 1;

// A key-up record, marked `extra`, for every key the system counts as
// down, into ups[TE_KEY_RELEASES_CAP]; the count. Each carries the scan
// code and extended flag the user's keyboard sent (key_hook.h), else the
// layout's, so the key on the side held is the one let go of; a modifier
// is let go of by its side's code, not by VK_SHIFT, VK_CONTROL or VK_MENU.
int te_releases_of_keys_down(INPUT* ups, ULONG_PTR extra);

// Waits (see key_release.h) until no key is held, then sends a key-up
// through send_input for every key still down. Presses nothing. While the
// user's keys are held (key_hook.h) they cannot reach the window: then what
// is still down is released at once.
void te_let_go_of_keys(te_send_input_fn send_input);

#endif
