// Keys the typist presses that type no character (the caret keys).
#ifndef TE_WL_KEY_PRESSES_H
#define TE_WL_KEY_PRESSES_H

#include "engine_keymap.h"

#include <vector>

// Types the keysyms through the virtual keyboard as a text's are typed,
// once no key is held. Results as type_text_utf8 (-1 for none).
int te_wl_type_keys(const std::vector<te_keysym>& syms);

#endif
