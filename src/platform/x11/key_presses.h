// Keys the typist presses that type no character (the caret keys).
#ifndef TE_X11_KEY_PRESSES_H
#define TE_X11_KEY_PRESSES_H

#include <X11/Xlib.h>
#include <vector>

// Types the keysyms as type_text_utf8 types a text's: after the user let go
// of the keys, bracketed by the typing marks. Results as type_text_utf8
// (-1 for none).
int te_x11_type_keys(const std::vector<KeySym>& syms);

#endif
