#include "layout.h"

#include <X11/XKBlib.h>
#include <X11/keysym.h>

namespace {

const KeySym TE_UNICODE_KEYSYM_BASE = 0x1000000;

// Unicode keysyms of Latin-1 characters name the same character as the
// Latin-1 keysym; the index keeps the Latin-1 form only.
KeySym te_normal_keysym(KeySym ks) {
    if (ks >= TE_UNICODE_KEYSYM_BASE && ks < TE_UNICODE_KEYSYM_BASE + 0x100)
        return ks - TE_UNICODE_KEYSYM_BASE;
    return ks;
}

// The real modifier (Mod1..Mod5) the keycode is bound to, 0 when none.
unsigned te_modifier_of(Display* dpy, KeyCode code) {
    if (!code) return 0;
    XModifierKeymap* map = XGetModifierMapping(dpy);
    if (!map) return 0;
    unsigned mask = 0;
    for (int mod = Mod1MapIndex; mod <= Mod5MapIndex && !mask; mod++) {
        for (int i = 0; i < map->max_keypermod; i++) {
            if (map->modifiermap[mod * map->max_keypermod + i] == code) mask = 1u << mod;
        }
    }
    XFreeModifiermap(map);
    return mask;
}

void te_find_modifier_keys(Display* dpy, te_layout* out) {
    out->shift_code = XKeysymToKeycode(dpy, XK_Shift_L);
    if (!out->shift_code) out->shift_code = XKeysymToKeycode(dpy, XK_Shift_R);
    KeyCode level3 = XKeysymToKeycode(dpy, XK_ISO_Level3_Shift);
    unsigned mask = te_modifier_of(dpy, level3);
    if (level3 && mask) {
        out->level3_code = level3;
        out->level3_mask = mask;
    }
}

// Adds every keysym reached with `mods` in group 1; the first spot found
// for a keysym wins, so plainer levels (indexed first) are preferred.
void te_index_level(XkbDescPtr xkb, unsigned mods, te_layout* out) {
    for (int code = xkb->min_key_code; code <= xkb->max_key_code; code++) {
        if (XkbKeyNumGroups(xkb, code) == 0) continue;
        unsigned consumed = 0;
        KeySym ks = NoSymbol;
        if (!XkbTranslateKeyCode(xkb, (KeyCode)code, mods, &consumed, &ks) || ks == NoSymbol) continue;
        out->spots.emplace(te_normal_keysym(ks), te_key_spot{(KeyCode)code, mods});
    }
}

void te_find_spare(XkbDescPtr xkb, te_layout* out) {
    for (int code = xkb->max_key_code; code >= xkb->min_key_code; code--) {
        if (XkbKeyNumSyms(xkb, code) == 0) out->spare.push_back((KeyCode)code);
    }
}

}  // namespace

int te_layout_load(Display* dpy, te_layout* out) {
    XkbDescPtr xkb = XkbGetMap(dpy, XkbKeyTypesMask | XkbKeySymsMask, XkbUseCoreKbd);
    if (!xkb) return 0;
    te_find_modifier_keys(dpy, out);
    te_index_level(xkb, 0, out);
    if (out->shift_code) te_index_level(xkb, ShiftMask, out);
    if (out->level3_mask) {
        te_index_level(xkb, out->level3_mask, out);
        if (out->shift_code) te_index_level(xkb, out->level3_mask | ShiftMask, out);
    }
    te_find_spare(xkb, out);
    XkbFreeKeyboard(xkb, 0, True);
    return 1;
}

KeySym te_keysym_for_char(unsigned cp) {
    if (cp == '\n' || cp == '\r') return XK_Return;
    if (cp == '\t') return XK_Tab;
    if (cp < 0x20 || (cp >= 0x7F && cp < 0xA0)) return NoSymbol;
    if (cp < 0x100) return cp;
    return TE_UNICODE_KEYSYM_BASE + cp;
}
