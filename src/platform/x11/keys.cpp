// Key states for the hotkey poll: a Windows virtual-key code is held when
// any key whose keysyms include one of the code's keysyms is down.
#include "held_keys.h"
#include "platform.h"
#include "x11_display.h"

#include <X11/keysym.h>

namespace {

const int TE_MAX_KEYSYMS = 4;

struct te_vk_keysyms {
    int vk;
    KeySym syms[TE_MAX_KEYSYMS];
};

const te_vk_keysyms te_named_keys[] = {
    {16, {XK_Shift_L, XK_Shift_R}},
    {17, {XK_Control_L, XK_Control_R}},
    {18, {XK_Alt_L, XK_Alt_R, XK_Meta_L, XK_Meta_R}},
    {91, {XK_Super_L}},
    {92, {XK_Super_R}},
    {32, {XK_space}},
    {9, {XK_Tab, XK_ISO_Left_Tab}},
    {13, {XK_Return, XK_KP_Enter}},
    {27, {XK_Escape}},
    {8, {XK_BackSpace}},
    {45, {XK_Insert}},
    {46, {XK_Delete}},
    {36, {XK_Home}},
    {35, {XK_End}},
    {33, {XK_Prior}},
    {34, {XK_Next}},
    {37, {XK_Left}},
    {38, {XK_Up}},
    {39, {XK_Right}},
    {40, {XK_Down}},
    {188, {XK_comma}},
    {190, {XK_period}},
};

// The keysyms that stand for vk; returns how many were written.
int te_vk_to_keysyms(int vk, KeySym out[TE_MAX_KEYSYMS]) {
    if (vk >= 'A' && vk <= 'Z') {
        out[0] = XK_a + (vk - 'A');
        out[1] = XK_A + (vk - 'A');
        return 2;
    }
    if (vk >= '0' && vk <= '9') {
        out[0] = XK_0 + (vk - '0');
        return 1;
    }
    if (vk >= 112 && vk <= 123) {
        out[0] = XK_F1 + (vk - 112);
        return 1;
    }
    for (const te_vk_keysyms& k : te_named_keys) {
        if (k.vk != vk) continue;
        int n = 0;
        while (n < TE_MAX_KEYSYMS && k.syms[n] != NoSymbol) n++;
        for (int i = 0; i < n; i++) out[i] = k.syms[i];
        return n;
    }
    return 0;
}

// Whether the keycode's first two levels carry one of the keysyms.
int te_code_has(const KeySym* syms, int per_code, const KeySym* want, int n) {
    int levels = per_code < 2 ? per_code : 2;
    for (int l = 0; l < levels; l++)
        for (int i = 0; i < n; i++)
            if (syms[l] == want[i]) return 1;
    return 0;
}

int te_any_down_with(Display* dpy, const KeySym* want, int n) {
    char keys[32];
    XQueryKeymap(dpy, keys);
    int lo = 256, hi = -1;
    for (int code = 8; code < 256; code++) {
        if (!te_keymap_down(keys, code)) continue;
        if (code < lo) lo = code;
        hi = code;
    }
    if (hi < 0) return 0;
    int per_code = 0;
    KeySym* map = XGetKeyboardMapping(dpy, (KeyCode)lo, hi - lo + 1, &per_code);
    if (!map) return 0;
    int found = 0;
    for (int code = lo; code <= hi && !found; code++)
        found = te_keymap_down(keys, code) && te_code_has(map + (code - lo) * per_code, per_code, want, n);
    XFree(map);
    return found;
}

}  // namespace

int key_is_down(int vk) {
    KeySym want[TE_MAX_KEYSYMS];
    int n = te_vk_to_keysyms(vk, want);
    if (n == 0) return 0;
    Display* dpy = te_x11_display();
    if (!dpy) return 0;
    int down = te_any_down_with(dpy, want, n);
    return te_x11_lost() ? 0 : down;
}
