// What the user's key presses type, as the key watch reports them: the
// evdev key events of the physical keyboards run through the user's
// keymap and a keyboard state of our own (Shift, AltGr, Caps Lock, layout
// groups), and through the compose sequences of the user's locale (dead
// keys). The key kinds follow the X11 key watch: text, BackSpace, or a
// reset for a key that moves the cursor or is part of a shortcut.
#ifndef TE_WL_KEY_TRANSLATE_H
#define TE_WL_KEY_TRANSLATE_H

#include "key_queue.h"

#include <bitset>
#include <linux/input-event-codes.h>

struct xkb_context;
struct xkb_keymap;
struct xkb_state;
struct xkb_compose_table;
struct xkb_compose_state;

struct te_wl_key_translator {
    xkb_keymap* keymap = nullptr;
    xkb_state* state = nullptr;
    xkb_compose_table* compose_table = nullptr;  // null: the locale has none
    xkb_compose_state* compose = nullptr;
    int repeating = -1;  // the key whose autorepeat was last reported
    te_key_queue* queue = nullptr;
    std::bitset<KEY_CNT> down;  // the keys pressed into `state`
};

// Starts translating with `keymap` (the translator takes the reference),
// made in `ctx`, into `queue`. 0 when it cannot (no keymap, no memory).
int te_wl_translator_open(te_wl_key_translator* t, xkb_context* ctx, xkb_keymap* keymap, te_key_queue* queue);
// A new keymap (reference taken): the modifiers held, Caps Lock, Num Lock
// and the layout locked carry over; pending dead keys are forgotten.
void te_wl_translator_set_keymap(te_wl_key_translator* t, xkb_keymap* keymap);
// Caps Lock and Num Lock as the keyboard's lights show them.
void te_wl_translator_lock(te_wl_key_translator* t, int caps, int num);
// The keyboard state made again from what the devices say: `down` the keys
// held now (evdev codes; the modifiers among them count), `caps` and `num`
// 1 on, 0 off, -1 unknown (as it was). The layout locked stays.
void te_wl_translator_restate(te_wl_key_translator* t, const std::bitset<KEY_CNT>& down, int caps, int num);
// One evdev key event: value 1 press, 0 release, 2 autorepeat. A press of
// a key already down, or a release of one already up, types what it types
// but leaves the state as it is.
void te_wl_translator_key(te_wl_key_translator* t, int code, int value);
// A key event that reached no window of this session (a lock screen, a
// text console): the keyboard state follows it, and a press is a reset.
void te_wl_translator_key_unseen(te_wl_key_translator* t, int code, int value);
// Key events were lost: what was typed meanwhile is unknown (the state is
// made again with te_wl_translator_restate).
void te_wl_translator_lost(te_wl_key_translator* t);
void te_wl_translator_close(te_wl_key_translator* t);

#endif
