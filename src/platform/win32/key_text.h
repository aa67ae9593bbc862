// The text a key press types, from a low-level keyboard hook: the layout of
// the program in front, the modifier and Caps Lock states, and a dead key
// remembered and composed with the next key by the caller's own means, so
// that the program in front keeps its own pending dead key undisturbed.
#ifndef TE_WIN32_KEY_TEXT_H
#define TE_WIN32_KEY_TEXT_H

#include <windows.h>

// What one key press types into out[8] (UTF-16, NUL-terminated): the count
// of units, 0 for a key without text, -1 for a dead key (out[0] is then its
// spacing accent).
int te_key_text_of(const KBDLLHOOKSTRUCT& key, wchar_t out[8]);

// The character a dead key's accent and the next key's text make, as the
// layout would: the composed character when there is one, the accent alone
// after a space, else the accent followed by the text. Into out[8].
void te_key_text_compose(wchar_t accent, const wchar_t* text, wchar_t out[8]);

#endif
