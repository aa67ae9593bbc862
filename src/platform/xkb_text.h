// What a key press types, for the desktops that read keys through
// libxkbcommon: the compose sequences (dead keys) that apply to the user,
// the text of a press through them, and whether the press is a shortcut.
#ifndef TE_XKB_TEXT_H
#define TE_XKB_TEXT_H

#include <cstdint>

struct xkb_context;
struct xkb_compose_table;
struct xkb_compose_state;
struct xkb_state;

// A new compose table for the user's locale, unless that is the plain C
// locale, then for the usual UTF-8 ones; null when no locale has one.
xkb_compose_table* te_xkb_compose_table(xkb_context* ctx);

// What the press of `key` (an xkb keycode) giving `sym` types, into
// out[size], with the state before the press: 1 with the UTF-8 text (empty
// for a key that types nothing), 0 while a compose sequence waits for its
// next key, -1 when such a sequence was cancelled. `compose` may be null.
int te_xkb_press_text(xkb_compose_state* compose, xkb_state* state, std::uint32_t key, std::uint32_t sym,
                      char* out, int size);

// 1 while Ctrl, Alt or Super is in effect: a key press is a shortcut.
int te_xkb_shortcut_held(xkb_state* state);

#endif
