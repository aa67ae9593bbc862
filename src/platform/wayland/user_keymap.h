// The user's keymap compiled for reading keys: the compositor's
// (seat_keymap.h) once it has given one, else the default one of
// libxkbcommon (XKB_DEFAULT_LAYOUT and its siblings, else "us").
#ifndef TE_WL_USER_KEYMAP_H
#define TE_WL_USER_KEYMAP_H

struct xkb_context;
struct xkb_keymap;

// A keymap the caller owns (xkb_keymap_unref), or null. When *version
// (the seat keymap's version the caller has) is still current, null and
// nothing done; otherwise *version is brought up to date. Takes te_wl_lock
// briefly, so never call it with the lock held.
xkb_keymap* te_wl_user_keymap_if_changed(xkb_context* ctx, unsigned* version);

// The version no keymap has: a caller starting with it always gets one.
enum : unsigned { TE_WL_KEYMAP_NONE = ~0u };

#endif
