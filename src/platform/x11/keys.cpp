// Key states for the hotkey poll: a Windows virtual-key code is held when
// any key whose keysyms include one of the code's keysyms is down.
#include "held_keys.h"
#include "platform.h"
#include "x11_desktop.h"
#include "vk_keysyms.h"
#include "x11_display.h"

#include <X11/keysym.h>

namespace {

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

int te_x11_key_is_down(int vk) {
    std::uint32_t syms[TE_VK_MAX_KEYSYMS];
    int n = te_vk_to_keysyms(vk, syms);
    if (n == 0) return 0;
    KeySym want[TE_VK_MAX_KEYSYMS];
    for (int i = 0; i < n; i++) want[i] = syms[i];
    Display* dpy = te_x11_display();
    if (!dpy) return 0;
    int down = te_any_down_with(dpy, want, n);
    return te_x11_lost() ? 0 : down;
}
