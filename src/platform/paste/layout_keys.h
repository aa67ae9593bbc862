// What the user's layout can type with keys: for each keysym of the
// keymap's first layout, the key that gives it and whether Shift and/or
// the third-level key (AltGr) must be held for it. Typing through a
// desktop that presses keys of the user's layout (KWin's fake input,
// Mutter's remote desktop) keeps to these; what the layout lacks goes
// through the clipboard instead (paste_plan.h).
#ifndef TE_PASTE_LAYOUT_KEYS_H
#define TE_PASTE_LAYOUT_KEYS_H

#include <cstdint>
#include <unordered_map>

struct xkb_keymap;

enum { TE_LAYOUT_SHIFT = 1, TE_LAYOUT_LEVEL3 = 2 };

struct te_layout_key {
    int code = 0;   // evdev key code
    int mods = 0;   // TE_LAYOUT_* to hold while it is pressed
};

struct te_layout_keys {
    std::unordered_map<std::uint32_t, te_layout_key> keys;  // by keysym
    int shift_code = 0;   // evdev code of a key giving Shift_L, 0 when none
    int level3_code = 0;  // evdev code of a key giving ISO_Level3_Shift, 0 when none
};

// The keys of `keymap` (may be null: an empty table). A keysym on several
// keys takes the one needing the fewest modifiers, then the lowest code;
// levels that need other modifiers (Ctrl, Caps Lock, Num Lock) are left
// out.
te_layout_keys te_layout_keys_from(xkb_keymap* keymap);

// The key that types `sym`, or null when the layout lacks it.
const te_layout_key* te_layout_key_for(const te_layout_keys& layout, std::uint32_t sym);

#endif
