#include "hotkey_chord.h"

#include <cstring>

namespace {

const int TE_CHORD_TEXT_MAX = 127;
const int TE_TOKEN_MAX = 15;

struct te_name_code {
    const char* name;
    int code;
};

const te_name_code te_modifier_names[] = {
    {"CTRL", TE_MOD_CTRL}, {"CONTROL", TE_MOD_CTRL}, {"ALT", TE_MOD_ALT},
    {"SHIFT", TE_MOD_SHIFT}, {"WIN", TE_MOD_WIN},   {"WINDOWS", TE_MOD_WIN},
    {"CMD", TE_MOD_WIN},
};

const te_name_code te_key_names[] = {
    {"F10", 121},       {"F11", 122},        {"F12", 123},      {"SPACE", 32},
    {" ", 32},          {"TAB", 9},          {"ENTER", 13},     {"RETURN", 13},
    {"ESCAPE", 27},     {"ESC", 27},         {"BACKSPACE", 8},  {"INSERT", 45},
    {"DELETE", 46},     {"DEL", 46},         {"HOME", 36},      {"END", 35},
    {"PAGEUP", 33},     {"PAGEDOWN", 34},    {"UP", 38},        {"DOWN", 40},
    {"LEFT", 37},       {"RIGHT", 39},       {"OEM_COMMA", 188}, {"OEM_PERIOD", 190},
};

// Copies the token upper-cased (ASCII letters only), cut to 15 bytes.
void te_token_upper(const char* token, char out[TE_TOKEN_MAX + 1]) {
    int i = 0;
    for (; i < TE_TOKEN_MAX && token[i]; i++) {
        char c = token[i];
        out[i] = (c >= 'a' && c <= 'z') ? (char)(c - 'a' + 'A') : c;
    }
    out[i] = 0;
}

int te_lookup(const te_name_code* table, int n, const char* name) {
    for (int i = 0; i < n; i++)
        if (std::strcmp(table[i].name, name) == 0) return table[i].code;
    return 0;
}

int te_upper_key_code(const char* up) {
    size_t len = std::strlen(up);
    if (len == 1 && ((up[0] >= 'A' && up[0] <= 'Z') || (up[0] >= '0' && up[0] <= '9')))
        return (unsigned char)up[0];
    if (len == 2 && up[0] == 'F' && up[1] >= '1' && up[1] <= '9') return 111 + (up[1] - '0');
    return te_lookup(te_key_names, sizeof te_key_names / sizeof te_key_names[0], up);
}

}  // namespace

int te_chord_key_code(const char* token) {
    char up[TE_TOKEN_MAX + 1];
    te_token_upper(token, up);
    return te_upper_key_code(up);
}

int te_chord_parse(const char* text, te_chord* out) {
    out->mods = 0;
    out->vk = 0;
    if (!text || !text[0]) return 0;
    char copy[TE_CHORD_TEXT_MAX + 1];
    std::strncpy(copy, text, TE_CHORD_TEXT_MAX);
    copy[TE_CHORD_TEXT_MAX] = 0;

    // Split at '+' only; empty tokens are skipped, spaces stay in tokens.
    char* p = copy;
    while (*p) {
        char* end = std::strchr(p, '+');
        if (end) *end = 0;
        if (*p) {
            char up[TE_TOKEN_MAX + 1];
            te_token_upper(p, up);
            int mod = te_lookup(te_modifier_names,
                                sizeof te_modifier_names / sizeof te_modifier_names[0], up);
            if (mod)
                out->mods |= mod;
            else
                out->vk = te_upper_key_code(up);
        }
        if (!end) break;
        p = end + 1;
    }
    return out->vk != 0;
}
