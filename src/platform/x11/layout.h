// Where the characters of the current keyboard layout sit: for each keysym
// the keycode and the modifiers (Shift, AltGr) that reach it in the first
// group, and the keycodes that carry no keysym at all.
#ifndef TE_X11_LAYOUT_H
#define TE_X11_LAYOUT_H

#include <X11/Xlib.h>
#include <unordered_map>
#include <vector>

struct te_key_spot {
    KeyCode code;
    unsigned mods;  // ShiftMask and/or te_layout::level3_mask
};

struct te_layout {
    std::unordered_map<KeySym, te_key_spot> spots;
    KeyCode shift_code = 0;    // a Shift key
    KeyCode level3_code = 0;   // the AltGr key (ISO_Level3_Shift), 0 when none
    unsigned level3_mask = 0;  // the modifier AltGr sets, 0 when none
    std::vector<KeyCode> spare;
};

// Reads the server's keyboard description; 0 when it cannot be read.
int te_layout_load(Display* dpy, te_layout* out);

// The keysym a character is typed as: Return for a line feed, Tab for a
// tab, the Latin-1 keysym below 256, the Unicode keysym above; NoSymbol
// for the other control characters, which are not typed.
KeySym te_keysym_for_char(unsigned cp);

#endif
