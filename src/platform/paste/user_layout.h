// The user's layout as keys to press (layout_keys.h), from the keymap the
// compositor gives every program (user_keymap.h), made again only when
// that keymap changes.
#ifndef TE_PASTE_USER_LAYOUT_H
#define TE_PASTE_USER_LAYOUT_H

#include "layout_keys.h"

// The layout now. Only one thread at a time may ask (the typists hold
// their typing lock); the result stays valid until the next call. Takes
// te_wl_lock briefly, so never call it with that lock held.
const te_layout_keys& te_user_layout();

#endif
