// Fresh-press detection for the hotkey chord, shared by every backend.
// Only key_is_down() differs between platforms.
#include "hotkey_chord.h"
#include "platform.h"

namespace {

// Poll state, process-wide. The engine polls from its single worker thread
// only, so these have one writer.
int te_last_vk = 0;
int te_prev_held = 0;

enum { TE_VK_SHIFT = 16, TE_VK_CONTROL = 17, TE_VK_MENU = 18, TE_VK_LWIN = 91, TE_VK_RWIN = 92 };

// Samples in a fixed order: Ctrl, Alt, Shift, left Win, right Win, the key.
int te_chord_held(const te_chord& c) {
    if ((c.mods & TE_MOD_CTRL) && !key_is_down(TE_VK_CONTROL)) return 0;
    if ((c.mods & TE_MOD_ALT) && !key_is_down(TE_VK_MENU)) return 0;
    if ((c.mods & TE_MOD_SHIFT) && !key_is_down(TE_VK_SHIFT)) return 0;
    if ((c.mods & TE_MOD_WIN) && !key_is_down(TE_VK_LWIN) && !key_is_down(TE_VK_RWIN)) return 0;
    return key_is_down(c.vk);
}

}  // namespace

int hotkey_pressed_now(const char* chord) {
    te_chord c;
    if (!te_chord_parse(chord, &c)) return 0;
    int held = te_chord_held(c);
    int fresh = held && (c.vk != te_last_vk || !te_prev_held);
    te_last_vk = c.vk;
    te_prev_held = held ? 1 : 0;
    return fresh;
}
