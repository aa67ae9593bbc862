#include "held_keys.h"

#include "key_release.h"
#include "key_watch.h"
#include "x11_display.h"

#include <X11/extensions/XTest.h>

namespace {

const int TE_FIRST_KEYCODE = 8;  // keycodes below it do not exist

int te_any_key_held(void* ctx) {
    Display* dpy = static_cast<Display*>(ctx);
    char keys[32];
    XQueryKeymap(dpy, keys);
    if (te_x11_lost()) return 0;
    for (int code = TE_FIRST_KEYCODE; code < 256; code++)
        if (te_keymap_down(keys, code)) return 1;
    return 0;
}

}  // namespace

int te_keymap_down(const char keys[32], int code) { return (keys[code / 8] >> (code % 8)) & 1; }

void te_let_go_of_keys(Display* dpy) {
    if (te_key_watch_let_go_in_hold(dpy)) return;
    if (te_wait_keys_released(te_any_key_held, dpy)) return;
    char keys[32];
    XQueryKeymap(dpy, keys);
    for (int code = TE_FIRST_KEYCODE; code < 256; code++)
        if (te_keymap_down(keys, code)) XTestFakeKeyEvent(dpy, (unsigned)code, False, CurrentTime);
}
