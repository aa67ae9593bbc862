#include "key_translate.h"

#include "xkb_text.h"

#include <linux/input-event-codes.h>
#include <xkbcommon/xkbcommon-compose.h>
#include <xkbcommon/xkbcommon.h>

namespace {

const int TE_EVDEV_OFFSET = 8;  // xkb keycode = evdev code + 8

// Keys that move the cursor or end the line: what comes next follows some
// other text than the one typed so far.
bool te_is_moving_key(xkb_keysym_t sym) {
    switch (sym) {
    case XKB_KEY_Return: case XKB_KEY_KP_Enter: case XKB_KEY_Tab: case XKB_KEY_ISO_Left_Tab:
    case XKB_KEY_Escape: case XKB_KEY_Left: case XKB_KEY_Right: case XKB_KEY_Up: case XKB_KEY_Down:
    case XKB_KEY_Home: case XKB_KEY_End: case XKB_KEY_Prior: case XKB_KEY_Next: case XKB_KEY_Begin:
        return true;
    default:
        return sym >= XKB_KEY_KP_Home && sym <= XKB_KEY_KP_Begin;
    }
}

// What Enter and Tab type, as a reset tells it; null for the other keys.
const char* te_separator_text(xkb_keysym_t sym) {
    if (sym == XKB_KEY_Return || sym == XKB_KEY_KP_Enter) return "\n";
    return sym == XKB_KEY_Tab ? "\t" : nullptr;
}

// Shift, Control, Alt, the level and group switches, the locks.
bool te_is_modifier(xkb_keysym_t sym) {
    return (sym >= XKB_KEY_Shift_L && sym <= XKB_KEY_Hyper_R) ||
           (sym >= XKB_KEY_ISO_Lock && sym <= XKB_KEY_ISO_Level5_Lock) || sym == XKB_KEY_Mode_switch ||
           sym == XKB_KEY_Num_Lock;
}

// The modifiers that count while held (not the locks, whose state the
// lights tell).
bool te_is_held_modifier(xkb_keysym_t sym) {
    bool lock = sym == XKB_KEY_Caps_Lock || sym == XKB_KEY_Shift_Lock;
    return (sym >= XKB_KEY_Shift_L && sym <= XKB_KEY_Hyper_R && !lock) || sym == XKB_KEY_ISO_Level3_Shift ||
           sym == XKB_KEY_ISO_Level5_Shift || sym == XKB_KEY_Mode_switch;
}

// Mouse buttons that place the cursor (not the side buttons). A touchpad's
// tap is turned into a click by the compositor and is not seen here.
bool te_is_click(int code) { return code == BTN_LEFT || code == BTN_RIGHT || code == BTN_MIDDLE; }

bool te_is_control_text(const char* text) {
    unsigned char c = (unsigned char)text[0];
    return c < 0x20 || c == 0x7F;
}

void te_cancel_compose(te_wl_key_translator* t) {
    if (t->compose) xkb_compose_state_reset(t->compose);
}

void te_push(te_wl_key_translator* t, int kind, const char* text = nullptr) {
    te_key_queue_push(t->queue, kind, text);
}

void te_on_press(te_wl_key_translator* t, xkb_keycode_t key) {
    xkb_keysym_t sym = xkb_state_key_get_one_sym(t->state, key);
    if (sym == XKB_KEY_NoSymbol || te_is_modifier(sym)) return;
    if (te_xkb_shortcut_held(t->state) || te_is_moving_key(sym)) {
        te_cancel_compose(t);
        te_push(t, TE_KEY_RESET, te_xkb_shortcut_held(t->state) ? nullptr : te_separator_text(sym));
        return;
    }
    if (sym == XKB_KEY_BackSpace) {
        te_cancel_compose(t);
        te_push(t, TE_KEY_BACKSPACE);
        return;
    }
    char text[32];
    int got = te_xkb_press_text(t->compose, t->state, key, sym, text, (int)sizeof text);
    if (got < 0 || (got > 0 && text[0] && te_is_control_text(text))) te_push(t, TE_KEY_RESET);
    else if (got > 0 && text[0]) te_push(t, TE_KEY_TEXT, text);
}

// Autorepeat: the program in front repeats on its own clock, so how many
// characters arrived is unknown; once per held key, start afresh.
void te_on_repeat(te_wl_key_translator* t, int code, xkb_keycode_t key) {
    xkb_keysym_t sym = xkb_state_key_get_one_sym(t->state, key);
    if (sym == XKB_KEY_NoSymbol || te_is_modifier(sym) || t->repeating == code) return;
    t->repeating = code;
    te_cancel_compose(t);
    te_push(t, TE_KEY_RESET);
}

// 1 when the named modifier is locked in the state, else 0.
int te_locked(xkb_state* state, const char* name) {
    return state && xkb_state_mod_name_is_active(state, name, XKB_STATE_MODS_LOCKED) > 0;
}

xkb_mod_mask_t te_mask(xkb_keymap* keymap, const char* name) {
    xkb_mod_index_t i = xkb_keymap_mod_get_index(keymap, name);
    return i == XKB_MOD_INVALID ? 0 : 1u << i;
}

// A fresh state of t->keymap with the locks given and the held modifiers
// among `down` pressed.
void te_new_state(te_wl_key_translator* t, std::bitset<KEY_CNT> down, int caps, int num, xkb_layout_index_t layout) {
    xkb_state_unref(t->state);
    t->state = t->keymap ? xkb_state_new(t->keymap) : nullptr;
    t->down.reset();
    te_cancel_compose(t);
    if (!t->state) return;
    xkb_mod_mask_t locked = caps ? te_mask(t->keymap, XKB_MOD_NAME_CAPS) : 0;
    if (num) locked |= te_mask(t->keymap, XKB_MOD_NAME_NUM);
    xkb_state_update_mask(t->state, 0, 0, locked, 0, 0, layout);
    for (std::size_t code = 0; code < down.size(); code++) {
        xkb_keycode_t key = (xkb_keycode_t)code + TE_EVDEV_OFFSET;
        if (!down.test(code) || !te_is_held_modifier(xkb_state_key_get_one_sym(t->state, key))) continue;
        xkb_state_update_key(t->state, key, XKB_KEY_DOWN);
        t->down.set(code);
    }
}

xkb_layout_index_t te_locked_layout(xkb_state* state) {
    return state ? xkb_state_serialize_layout(state, XKB_STATE_LAYOUT_LOCKED) : 0;
}

// A press or release into the state; one of a key already down (or up)
// changes nothing.
void te_update_state(te_wl_key_translator* t, int code, int value) {
    if (code < 0 || code >= KEY_CNT || t->down.test((std::size_t)code) == (value == 1)) return;
    t->down.set((std::size_t)code, value == 1);
    xkb_state_update_key(t->state, (xkb_keycode_t)code + TE_EVDEV_OFFSET, value == 1 ? XKB_KEY_DOWN : XKB_KEY_UP);
}

}  // namespace

int te_wl_translator_open(te_wl_key_translator* t, xkb_context* ctx, xkb_keymap* keymap, te_key_queue* queue) {
    t->queue = queue;
    if (!keymap) return 0;
    te_wl_translator_set_keymap(t, keymap);
    if (!t->state) return 0;
    t->compose_table = te_xkb_compose_table(ctx);
    if (t->compose_table) t->compose = xkb_compose_state_new(t->compose_table, XKB_COMPOSE_STATE_NO_FLAGS);
    return 1;
}

void te_wl_translator_set_keymap(te_wl_key_translator* t, xkb_keymap* keymap) {
    int caps = te_locked(t->state, XKB_MOD_NAME_CAPS), num = te_locked(t->state, XKB_MOD_NAME_NUM);
    xkb_layout_index_t layout = te_locked_layout(t->state);
    xkb_keymap_unref(t->keymap);
    t->keymap = keymap;
    if (keymap && layout >= xkb_keymap_num_layouts(keymap)) layout = 0;
    te_new_state(t, t->down, caps, num, layout);
}

void te_wl_translator_lock(te_wl_key_translator* t, int caps, int num) {
    te_wl_translator_restate(t, t->down, caps, num);
}

void te_wl_translator_restate(te_wl_key_translator* t, const std::bitset<KEY_CNT>& down, int caps, int num) {
    if (caps < 0) caps = te_locked(t->state, XKB_MOD_NAME_CAPS);
    if (num < 0) num = te_locked(t->state, XKB_MOD_NAME_NUM);
    te_new_state(t, down, caps, num, te_locked_layout(t->state));
}

void te_wl_translator_key(te_wl_key_translator* t, int code, int value) {
    if (!t->state) return;
    if (te_is_click(code)) {
        if (value == 1) te_push(t, TE_KEY_RESET);
        return;
    }
    xkb_keycode_t key = (xkb_keycode_t)(code + TE_EVDEV_OFFSET);
    if (value == 2) {
        te_on_repeat(t, code, key);
        return;
    }
    // What a press types depends on the state before it.
    if (value == 1) te_on_press(t, key);
    else if (t->repeating == code) t->repeating = -1;
    te_update_state(t, code, value);
}

void te_wl_translator_key_unseen(te_wl_key_translator* t, int code, int value) {
    if (!t->state) return;
    if (value == 1) {
        te_cancel_compose(t);
        te_push(t, TE_KEY_RESET);
    }
    if (value != 2) te_update_state(t, code, value);
}

void te_wl_translator_lost(te_wl_key_translator* t) {
    te_cancel_compose(t);
    te_push(t, TE_KEY_RESET);
}

void te_wl_translator_close(te_wl_key_translator* t) {
    te_wl_translator_set_keymap(t, nullptr);
    xkb_compose_state_unref(t->compose);
    xkb_compose_table_unref(t->compose_table);
    *t = te_wl_key_translator();
}
