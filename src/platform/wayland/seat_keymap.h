// The keymap of the seat's keyboard as the compositor gives it to every
// client (wl_keyboard.keymap): that of whichever keyboard typed last, the
// user's or another program's virtual one (user_keymap.h tells them
// apart). The compositor also hands out the engine's own typing keymap
// while the virtual keyboard types; that one is recognised by its name and
// ignored. Also whether the seat has a keyboard at all.
#ifndef TE_WL_SEAT_KEYMAP_H
#define TE_WL_SEAT_KEYMAP_H

#include <string>

struct te_wl;

// With te_wl_lock held: starts following the seat's keyboard.
void te_wl_seat_keymap_start(te_wl* c);
// With te_wl_lock held: frees the seat's keyboard, for a connection being
// dropped (the keymap text stays).
void te_wl_seat_keymap_forget();

// With te_wl_lock held: the keymap text (empty while none was given) and,
// in *version, a number that changes whenever it does.
std::string te_wl_seat_keymap_text(unsigned* version);

// With te_wl_lock held: 1 when the seat has a keyboard (the engine's own
// virtual one counts once the compositor announced it).
int te_wl_seat_has_keyboard();

// Any thread, no lock: the version te_wl_seat_keymap_text gives now.
unsigned te_wl_seat_keymap_version();

#endif
