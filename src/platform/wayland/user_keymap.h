// The user's keymap compiled for reading keys: the keymap of the physical
// keyboards as the compositor gives it (seat_keymap.h), else the default
// one of libxkbcommon (XKB_DEFAULT_LAYOUT and its siblings, else "us").
//
// The compositor gives its clients the keymap of whichever keyboard typed
// last, other programs' virtual keyboards too (wtype, an on-screen
// keyboard, a remote-desktop session). So the seat's keymap becomes the
// user's only when it looks like a physical keyboard's (its keys named and
// numbered as the kernel's key codes; the first one given counts so), and
// once a physical key is pressed: the compositor then makes that
// keyboard's keymap the seat's, before it answers a round trip.
#ifndef TE_WL_USER_KEYMAP_H
#define TE_WL_USER_KEYMAP_H

#include <string>

struct xkb_context;
struct xkb_keymap;

// A keymap the caller owns (xkb_keymap_unref), or null. When *version
// (the user keymap's version the caller has) is still current, null and
// nothing done; otherwise *version is brought up to date. Takes te_wl_lock
// briefly, so never call it with the lock held.
xkb_keymap* te_wl_user_keymap_if_changed(xkb_context* ctx, unsigned* version);

// Any thread, no lock: the version te_wl_user_keymap_if_changed brings a
// caller up to.
unsigned te_wl_user_keymap_version();

// A key of a physical keyboard was just pressed: when the seat's keymap
// changed since the last look, a round trip lets the compositor switch to
// that keyboard's keymap, which then is the user's (if it looks like one).
// Takes te_wl_lock, so never call it with the lock held.
void te_wl_user_keymap_after_press();

// 1 when the keymap text names and numbers its keys as a physical
// keyboard's keymap does (evdev key codes).
int te_wl_keymap_looks_physical(const std::string& text);

// The version no keymap has: a caller starting with it always gets one.
enum : unsigned { TE_WL_KEYMAP_NONE = ~0u };

#endif
