#include "modifiers.h"

#include <X11/XKBlib.h>
#include <X11/extensions/XTest.h>
#include <algorithm>

namespace {

int te_is_down(const char keys[32], KeyCode code) { return (keys[code / 8] >> (code % 8)) & 1; }

void te_tap(Display* dpy, KeyCode code) {
    XTestFakeKeyEvent(dpy, code, True, CurrentTime);
    XTestFakeKeyEvent(dpy, code, False, CurrentTime);
}

// Every held key bound to a modifier other than Lock, each once.
std::vector<KeyCode> te_held_modifier_keys(Display* dpy, XModifierKeymap* map) {
    char keys[32];
    XQueryKeymap(dpy, keys);
    std::vector<KeyCode> held;
    for (int mod = 0; mod < 8; mod++) {
        if (mod == LockMapIndex) continue;
        for (int i = 0; i < map->max_keypermod; i++) {
            KeyCode code = map->modifiermap[mod * map->max_keypermod + i];
            if (!code || !te_is_down(keys, code)) continue;
            if (std::find(held.begin(), held.end(), code) == held.end()) held.push_back(code);
        }
    }
    return held;
}

// Releases, for good, every other held key (the key of a hotkey chord): the
// server drops a press of a key that is already down, so such a key could
// not be typed, and pressing it again afterwards would make it repeat.
void te_release_other_keys(Display* dpy, const std::vector<KeyCode>& modifiers) {
    char keys[32];
    XQueryKeymap(dpy, keys);
    for (int code = 8; code < 256; code++) {
        if (!te_is_down(keys, (KeyCode)code)) continue;
        if (std::find(modifiers.begin(), modifiers.end(), code) != modifiers.end()) continue;
        XTestFakeKeyEvent(dpy, (unsigned)code, False, CurrentTime);
    }
}

KeyCode te_lock_key(XModifierKeymap* map) {
    for (int i = 0; i < map->max_keypermod; i++) {
        KeyCode code = map->modifiermap[LockMapIndex * map->max_keypermod + i];
        if (code) return code;
    }
    return 0;
}

}  // namespace

void te_modifiers_set_aside(Display* dpy, te_set_aside* out) {
    XModifierKeymap* map = XGetModifierMapping(dpy);
    if (!map) return;
    out->released = te_held_modifier_keys(dpy, map);
    for (KeyCode code : out->released) XTestFakeKeyEvent(dpy, code, False, CurrentTime);
    te_release_other_keys(dpy, out->released);
    XkbStateRec state;
    if (XkbGetState(dpy, XkbUseCoreKbd, &state) == Success) {
        if (state.locked_mods & LockMask) {
            out->caps_code = te_lock_key(map);
            if (out->caps_code) te_tap(dpy, out->caps_code);
        }
        out->group = state.locked_group;
        if (out->group) XkbLockGroup(dpy, XkbUseCoreKbd, 0);
    }
    XFreeModifiermap(map);
}

void te_modifiers_bring_back(Display* dpy, const te_set_aside& saved) {
    if (saved.group) XkbLockGroup(dpy, XkbUseCoreKbd, (unsigned)saved.group);
    if (saved.caps_code) te_tap(dpy, saved.caps_code);
    for (KeyCode code : saved.released) XTestFakeKeyEvent(dpy, code, True, CurrentTime);
}
