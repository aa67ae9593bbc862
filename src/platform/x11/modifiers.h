// Caps Lock and the keyboard group, set aside while a text is typed so that
// its characters arrive as the layout's first group types them, and brought
// back afterwards. Held keys are not handled here: the typing waits for
// them to be let go first (held_keys.h).
#ifndef TE_X11_MODIFIERS_H
#define TE_X11_MODIFIERS_H

#include <X11/Xlib.h>

struct te_set_aside {
    KeyCode caps_code = 0;  // pressed to turn Caps Lock off, 0 when it was off
    int group = 0;          // the group that was locked, 0 for the first
};

// Turns Caps Lock off and locks the first keyboard group.
void te_modifiers_set_aside(Display* dpy, te_set_aside* out);

// Brings back Caps Lock and the group, in reverse order. Only what
// te_modifiers_set_aside changed is changed back.
void te_modifiers_bring_back(Display* dpy, const te_set_aside& saved);

#endif
