#include "key_hold.h"

#include "held_keys.h"
#include "memory_wipe.h"
#include "platform.h"
#include "x11_display.h"

#include <X11/extensions/XInput.h>
#include <X11/extensions/XInput2.h>
#include <X11/extensions/XTest.h>
#include <algorithm>

namespace {

bool te_grab_one(Display* dpy, int device) {
    unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {0};
    XISetMask(bits, XI_KeyPress);
    XISetMask(bits, XI_KeyRelease);
    XIEventMask mask = {device, (int)sizeof bits, bits};
    return XIGrabDevice(dpy, device, DefaultRootWindow(dpy), CurrentTime, None, XIGrabModeAsync, XIGrabModeAsync,
                        False, &mask) == GrabSuccess;
}

void te_ungrab_all(te_key_hold* h, Display* dpy) {
    for (int device : h->grabbed) XIUngrabDevice(dpy, device, CurrentTime);
    h->grabbed.clear();
}

// The keycodes the modifier map names (Shift, Lock, Control, Mod1 to Mod5).
std::vector<unsigned> te_modifier_codes(Display* dpy) {
    std::vector<unsigned> codes;
    XModifierKeymap* map = XGetModifierMapping(dpy);
    if (!map) return codes;
    for (int i = 0; i < 8 * map->max_keypermod; i++)
        if (map->modifiermap[i]) codes.push_back(map->modifiermap[i]);
    XFreeModifiermap(map);
    return codes;
}

bool te_held_has(const te_key_hold& h, unsigned code) {
    return std::any_of(h.held.begin(), h.held.end(), [code](const te_held_key& k) { return k.code == code; });
}

typedef std::vector<std::pair<int, XDevice*>> te_open_devices;

// The grabbed keyboards, opened for sending their keys again.
te_open_devices te_open_grabbed(Display* dpy, const te_key_hold& h) {
    te_open_devices open;
    for (int device : h.grabbed) {
        XDevice* dev = XOpenDevice(dpy, (XID)device);
        if (dev) open.push_back({device, dev});
    }
    return open;
}

// One key event again, on the device it came from.
void te_send_on(Display* dpy, const te_open_devices& open, const te_held_key& k) {
    for (const auto& o : open)
        if (o.first == k.device) XTestFakeDeviceKeyEvent(dpy, o.second, k.code, k.press, nullptr, 0, CurrentTime);
}

// The held events from `from` on, again. A press of a key pressed again
// without a release between (the keyboard's autorepeat) gets a release
// first: the server drops a press of a key that is down.
void te_send_held(Display* dpy, const te_open_devices& open, const te_key_hold& h, std::size_t from, bool down[256]) {
    for (std::size_t i = from; i < h.held.size(); i++) {
        const te_held_key& k = h.held[i];
        if (k.press && down[k.code & 255]) te_send_on(dpy, open, te_held_key{k.device, k.code, false});
        te_send_on(dpy, open, k);
        down[k.code & 255] = k.press;
    }
}

// Modifiers the user still holds were let go of in the core keyboard for
// the typing: pressed again on their keyboard (which counts them down
// still, so they are let go of there first).
void te_press_again(const te_key_hold& h, Display* dpy, const te_open_devices& open) {
    for (const te_held_key& k : h.let_go) {
        if (te_held_has(h, k.code)) continue;  // the user let go of it meanwhile
        te_send_on(dpy, open, te_held_key{k.device, k.code, false});
        te_send_on(dpy, open, te_held_key{k.device, k.code, true});
    }
}

}  // namespace

int te_keyboard_grabbed_elsewhere(Display* dpy) {
    // On the focus window itself, so that a key arriving meanwhile still
    // goes where it would have gone.
    Window focus = te_x11_input_focus(dpy);
    Window on = focus == None || focus == PointerRoot ? DefaultRootWindow(dpy) : focus;
    int status = XGrabKeyboard(dpy, on, False, GrabModeAsync, GrabModeAsync, CurrentTime);
    if (status == GrabSuccess) XUngrabKeyboard(dpy, CurrentTime);
    return status == AlreadyGrabbed || status == GrabFrozen;
}

int te_key_hold_grab(te_key_hold* h, Display* dpy, const std::vector<int>& keyboards) {
    *h = te_key_hold();
    for (int device : keyboards) {
        if (!te_grab_one(dpy, device)) {
            te_ungrab_all(h, dpy);
            return TE_HOLD_NONE;
        }
        h->grabbed.push_back(device);
    }
    h->on = true;
    h->since = now_millis();
    return TE_HOLD_ON;
}

void te_key_hold_note(te_key_hold* h, int device, unsigned code, bool press) {
    if (!h->on || std::find(h->grabbed.begin(), h->grabbed.end(), device) == h->grabbed.end()) return;
    h->held.push_back({device, code, press});
}

void te_key_hold_let_go(te_key_hold* h, Display* dpy, const unsigned char source[256]) {
    char keys[32];
    XQueryKeymap(dpy, keys);
    std::vector<unsigned> modifiers = te_modifier_codes(dpy);
    for (unsigned code = 8; code < 256; code++) {
        if (!te_keymap_down(keys, (int)code)) continue;
        // A key still down would change the typing's keys (a modifier) or
        // swallow the typing's own press of it (the trigger's last key).
        XTestFakeKeyEvent(dpy, code, False, CurrentTime);
        bool modifier = std::find(modifiers.begin(), modifiers.end(), code) != modifiers.end();
        bool grabbed = std::find(h->grabbed.begin(), h->grabbed.end(), source[code]) != h->grabbed.end();
        if (modifier && grabbed) h->let_go.push_back({source[code], code, true});
    }
}

void te_key_hold_release(te_key_hold* h, Display* dpy, void (*collect)(Display*)) {
    if (!h->on) return;
    // Every event the grabs got so far was sent before the round trip's
    // reply.
    XSync(dpy, False);
    collect(dpy);
    te_open_devices open = te_open_grabbed(dpy, *h);
    // The ungrabs and the keys sent again leave together, and the server
    // takes one client's requests one after the other: a key the user
    // presses now can come between them only when the server reads its
    // input between two requests.
    for (int device : h->grabbed) XIUngrabDevice(dpy, device, CurrentTime);
    te_press_again(*h, dpy, open);
    bool down[256] = {};
    std::size_t sent = h->held.size();
    te_send_held(dpy, open, *h, 0, down);
    // A key that reached a grab after the first round trip goes after them.
    XSync(dpy, False);
    collect(dpy);
    te_send_held(dpy, open, *h, sent, down);
    for (auto& o : open) XCloseDevice(dpy, o.second);
    XFlush(dpy);
    te_key_hold_wipe(h);
}

void te_key_hold_wipe(te_key_hold* h) {
    if (!h->held.empty()) te_wipe(h->held.data(), h->held.size() * sizeof(te_held_key));
    *h = te_key_hold();
}
