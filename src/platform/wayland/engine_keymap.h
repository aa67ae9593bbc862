// The engine's own typing keymap: one key per character it types, each
// with that one character on its only level, so that any text (CJK,
// emoji, characters no layout has) is typed with no modifier and no key of
// the user's keymap. Keycodes stay within 9..255, what X11 programs under
// Xwayland can receive. The printable ASCII characters, BackSpace, Return,
// Tab, Left and Delete are always there, at the same keycodes; the other keys hold the characters the text
// being typed needs, and the keymap is replaced only when a text needs one
// it lacks.
#ifndef TE_WL_ENGINE_KEYMAP_H
#define TE_WL_ENGINE_KEYMAP_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

typedef std::uint32_t te_keysym;

struct te_wl_engine_keymap {
    std::vector<te_keysym> keys;  // keys[i] is typed with evdev code TE_WL_FIRST_CODE + i
};

enum { TE_WL_FIRST_CODE = 1, TE_WL_LAST_CODE = 247 };  // xkb keycodes 9..255

// The keymap that holds the base characters and, after them, as many of
// syms[from..] not among them as fit. *end is where the text it can type
// ends.
te_wl_engine_keymap te_wl_engine_keymap_for(const std::vector<te_keysym>& syms, std::size_t from, std::size_t* end);

// The evdev code that types `sym`, or -1 when the keymap lacks it.
int te_wl_engine_keymap_code(const te_wl_engine_keymap& k, te_keysym sym);

// The keymap in the XKB text format, named so that it can be told apart
// from the user's when the compositor hands it out.
std::string te_wl_engine_keymap_text(const te_wl_engine_keymap& k);
bool te_wl_is_engine_keymap(const std::string& text);

// The keysym a character is typed as: Return for a line feed or carriage
// return, Tab for a tab, 0 for the other control characters (not typed).
te_keysym te_wl_keysym_for_char(std::uint32_t cp);

#endif
