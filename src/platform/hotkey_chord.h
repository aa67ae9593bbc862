// Parsing of hotkey chord texts such as "CTRL+SHIFT+E". Depends on nothing
// but the text, so every backend shares it.
#ifndef TE_HOTKEY_CHORD_H
#define TE_HOTKEY_CHORD_H

enum {
    TE_MOD_CTRL = 1,
    TE_MOD_ALT = 2,
    TE_MOD_SHIFT = 4,
    TE_MOD_WIN = 8,
};

struct te_chord {
    int mods;  // TE_MOD_* bits
    int vk;    // Windows virtual-key code 1..255, 0 for no key
};

// Parses the first 127 bytes of `text`. Returns 1 when the chord names a
// key, 0 otherwise (null, empty, only '+', or no usable key).
int te_chord_parse(const char* text, te_chord* out);

// The virtual-key code a single token names, or 0. The token is compared
// after ASCII upper-casing of its first 15 bytes.
int te_chord_key_code(const char* token);

#endif
