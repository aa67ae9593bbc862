// The engine's virtual keyboard (zwp_virtual_keyboard_v1): one for the
// life of the connection, made on first use, typing through the engine's
// own keymap (engine_keymap.h). Every key it presses it releases in the
// same batch, so no key of it is ever left down.
#ifndef TE_WL_VIRTUAL_KEYBOARD_H
#define TE_WL_VIRTUAL_KEYBOARD_H

#include "engine_keymap.h"

#include <vector>

struct te_wl;

// With te_wl_lock held (let go while it waits for the compositor, see
// te_wl_sync): types the keysyms in order, replacing the keymap only where
// the text needs a character it lacks. 1 when every keystroke was handed
// to the compositor, 0 when the compositor has no virtual keyboard, the
// connection broke or the compositor stopped answering (what was sent may
// stay typed).
int te_wl_virtual_keyboard_type(te_wl* c, const std::vector<te_keysym>& syms);

// With te_wl_lock held: frees the keyboard of a connection being dropped.
void te_wl_virtual_keyboard_forget();

#endif
