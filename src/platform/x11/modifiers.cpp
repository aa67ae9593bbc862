#include "modifiers.h"

#include <X11/XKBlib.h>
#include <X11/extensions/XTest.h>

namespace {

void te_tap(Display* dpy, KeyCode code) {
    XTestFakeKeyEvent(dpy, code, True, CurrentTime);
    XTestFakeKeyEvent(dpy, code, False, CurrentTime);
}

KeyCode te_lock_key(Display* dpy) {
    XModifierKeymap* map = XGetModifierMapping(dpy);
    if (!map) return 0;
    KeyCode found = 0;
    for (int i = 0; i < map->max_keypermod && !found; i++)
        found = map->modifiermap[LockMapIndex * map->max_keypermod + i];
    XFreeModifiermap(map);
    return found;
}

}  // namespace

void te_modifiers_set_aside(Display* dpy, te_set_aside* out) {
    XkbStateRec state;
    if (XkbGetState(dpy, XkbUseCoreKbd, &state) != Success) return;
    if (state.locked_mods & LockMask) {
        out->caps_code = te_lock_key(dpy);
        if (out->caps_code) te_tap(dpy, out->caps_code);
    }
    out->group = state.locked_group;
    if (out->group) XkbLockGroup(dpy, XkbUseCoreKbd, 0);
}

void te_modifiers_bring_back(Display* dpy, const te_set_aside& saved) {
    if (saved.group) XkbLockGroup(dpy, XkbUseCoreKbd, (unsigned)saved.group);
    if (saved.caps_code) te_tap(dpy, saved.caps_code);
}
