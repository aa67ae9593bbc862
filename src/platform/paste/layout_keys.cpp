#include "layout_keys.h"

#include <xkbcommon/xkbcommon.h>

namespace {

const int TE_EVDEV_OFFSET = 8;  // xkb keycode = evdev code + 8

// The real modifiers a key puts in effect while it is down; 0 when none.
xkb_mod_mask_t te_mods_of_key(xkb_keymap* keymap, xkb_keycode_t key) {
    xkb_state* state = xkb_state_new(keymap);
    if (!state) return 0;
    xkb_state_update_key(state, key, XKB_KEY_DOWN);
    xkb_mod_mask_t mods = xkb_state_serialize_mods(state, XKB_STATE_MODS_DEPRESSED);
    xkb_state_unref(state);
    return mods;
}

// The first key of the first layout whose first level is `sym`.
xkb_keycode_t te_key_giving(xkb_keymap* keymap, xkb_keysym_t sym) {
    for (xkb_keycode_t key = xkb_keymap_min_keycode(keymap); key <= xkb_keymap_max_keycode(keymap); key++) {
        const xkb_keysym_t* syms = nullptr;
        if (xkb_keymap_key_get_syms_by_level(keymap, key, 0, 0, &syms) == 1 && syms[0] == sym) return key;
    }
    return 0;
}

struct te_modifier_keys {
    xkb_mod_mask_t shift = 0, level3 = 0;
};

// The TE_LAYOUT_* bits a level's modifier mask takes, or -1 when it needs
// a modifier other than Shift and the third level.
int te_level_mods(const te_modifier_keys& m, xkb_mod_mask_t mask) {
    int mods = 0;
    if (m.shift && (mask & m.shift) == m.shift) {
        mods |= TE_LAYOUT_SHIFT;
        mask &= ~m.shift;
    }
    if (m.level3 && (mask & m.level3) == m.level3) {
        mods |= TE_LAYOUT_LEVEL3;
        mask &= ~m.level3;
    }
    return mask ? -1 : mods;
}

// The fewest modifiers any mask of this level needs, or -1.
int te_easiest_mods(xkb_keymap* keymap, const te_modifier_keys& m, xkb_keycode_t key, xkb_level_index_t level) {
    xkb_mod_mask_t masks[16];
    std::size_t n = xkb_keymap_key_get_mods_for_level(keymap, key, 0, level, masks, 16);
    int best = -1;
    for (std::size_t i = 0; i < n; i++) {
        int mods = te_level_mods(m, masks[i]);
        if (mods >= 0 && (best < 0 || __builtin_popcount((unsigned)mods) < __builtin_popcount((unsigned)best)))
            best = mods;
    }
    return best;
}

void te_offer(te_layout_keys& out, xkb_keysym_t sym, int code, int mods) {
    auto at = out.keys.find(sym);
    if (at != out.keys.end() && __builtin_popcount((unsigned)at->second.mods) <= __builtin_popcount((unsigned)mods))
        return;
    te_layout_key k;
    k.code = code;
    k.mods = mods;
    out.keys[sym] = k;
}

}  // namespace

te_layout_keys te_layout_keys_from(xkb_keymap* keymap) {
    te_layout_keys out;
    if (!keymap) return out;
    te_modifier_keys m;
    xkb_keycode_t shift = te_key_giving(keymap, XKB_KEY_Shift_L);
    xkb_keycode_t level3 = te_key_giving(keymap, XKB_KEY_ISO_Level3_Shift);
    if (shift) m.shift = te_mods_of_key(keymap, shift), out.shift_code = (int)shift - TE_EVDEV_OFFSET;
    if (level3) m.level3 = te_mods_of_key(keymap, level3), out.level3_code = (int)level3 - TE_EVDEV_OFFSET;
    for (xkb_keycode_t key = xkb_keymap_min_keycode(keymap); key <= xkb_keymap_max_keycode(keymap); key++) {
        xkb_level_index_t levels = xkb_keymap_num_levels_for_key(keymap, key, 0);
        for (xkb_level_index_t level = 0; level < levels; level++) {
            const xkb_keysym_t* syms = nullptr;
            if (xkb_keymap_key_get_syms_by_level(keymap, key, 0, level, &syms) != 1) continue;
            int mods = te_easiest_mods(keymap, m, key, level);
            if (mods < 0) continue;
            if ((mods & TE_LAYOUT_SHIFT && !out.shift_code) || (mods & TE_LAYOUT_LEVEL3 && !out.level3_code)) continue;
            te_offer(out, syms[0], (int)key - TE_EVDEV_OFFSET, mods);
        }
    }
    return out;
}

const te_layout_key* te_layout_key_for(const te_layout_keys& layout, std::uint32_t sym) {
    auto at = layout.keys.find(sym);
    return at == layout.keys.end() ? nullptr : &at->second;
}
