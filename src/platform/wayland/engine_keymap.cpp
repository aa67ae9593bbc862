#include "engine_keymap.h"

#include <algorithm>
#include <xkbcommon/xkbcommon.h>

namespace {

const char* const TE_KEYMAP_NAME = "velmora_te_typing";

// The caret keys too: programs that look keys up in the first keymap they
// saw (GTK 3's key bindings) find them at the same keycodes in every one.
std::vector<te_keysym> te_base_keys() {
    std::vector<te_keysym> keys = {XKB_KEY_BackSpace, XKB_KEY_Return, XKB_KEY_Tab, XKB_KEY_Left, XKB_KEY_Delete};
    for (te_keysym c = 0x20; c < 0x7F; c++) keys.push_back(c);
    return keys;
}

bool te_has(const std::vector<te_keysym>& keys, te_keysym sym) {
    return std::find(keys.begin(), keys.end(), sym) != keys.end();
}

}  // namespace

te_wl_engine_keymap te_wl_engine_keymap_for(const std::vector<te_keysym>& syms, std::size_t from, std::size_t* end) {
    te_wl_engine_keymap k;
    k.keys = te_base_keys();
    const std::size_t cap = TE_WL_LAST_CODE - TE_WL_FIRST_CODE + 1;
    std::size_t i = from;
    for (; i < syms.size(); i++) {
        if (te_has(k.keys, syms[i])) continue;
        if (k.keys.size() == cap) break;
        k.keys.push_back(syms[i]);
    }
    *end = i;
    return k;
}

int te_wl_engine_keymap_code(const te_wl_engine_keymap& k, te_keysym sym) {
    auto at = std::find(k.keys.begin(), k.keys.end(), sym);
    return at == k.keys.end() ? -1 : TE_WL_FIRST_CODE + (int)(at - k.keys.begin());
}

std::string te_wl_engine_keymap_text(const te_wl_engine_keymap& k) {
    std::string name = std::string("\"") + TE_KEYMAP_NAME + "\"";
    std::string codes = "xkb_keycodes " + name + " {\n minimum = 8;\n maximum = 255;\n";
    std::string symbols = "xkb_symbols " + name + " {\n";
    for (std::size_t i = 0; i < k.keys.size(); i++) {
        std::string code = std::to_string(TE_WL_FIRST_CODE + 8 + (int)i);
        char sym[64];
        if (xkb_keysym_get_name(k.keys[i], sym, sizeof sym) < 0) continue;
        codes += " <K" + code + "> = " + code + ";\n";
        symbols += " key <K" + code + "> { [ " + sym + " ] };\n";
    }
    return "xkb_keymap {\n" + codes + "};\nxkb_types " + name +
           " {\n type \"ONE_LEVEL\" { modifiers = none; level_name[Level1] = \"Any\"; };\n};\n"
           "xkb_compatibility " + name + " {\n};\n" + symbols + "};\n};\n";
}

bool te_wl_is_engine_keymap(const std::string& text) { return text.find(TE_KEYMAP_NAME) != std::string::npos; }

te_keysym te_wl_keysym_for_char(std::uint32_t cp) {
    if (cp == '\n' || cp == '\r') return XKB_KEY_Return;
    if (cp == '\t') return XKB_KEY_Tab;
    if (cp < 0x20 || (cp >= 0x7F && cp < 0xA0)) return 0;
    return xkb_utf32_to_keysym(cp);
}
