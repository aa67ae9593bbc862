// Held modifiers, Caps Lock and the keyboard group, set aside while a text
// is typed so that its characters arrive as characters and not as
// shortcuts (hotkey mode types while the user may still hold the chord).
#ifndef TE_X11_MODIFIERS_H
#define TE_X11_MODIFIERS_H

#include <X11/Xlib.h>
#include <vector>

struct te_set_aside {
    std::vector<KeyCode> released;  // modifier keys that were held
    KeyCode caps_code = 0;          // pressed to turn Caps Lock off, 0 when it was off
    int group = 0;                  // the group that was locked, 0 for the first
};

// Releases every held modifier key (Shift, Ctrl, Alt, Super, AltGr...),
// turns Caps Lock off and locks the first keyboard group. Other held keys
// are released too and stay released.
void te_modifiers_set_aside(Display* dpy, te_set_aside* out);

// Brings back the modifiers, Caps Lock and the group, in reverse order.
void te_modifiers_bring_back(Display* dpy, const te_set_aside& saved);

#endif
