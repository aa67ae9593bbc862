#include "key_hold.h"

#include "held_keys.h"
#include "key_replay.h"
#include "memory_wipe.h"
#include "platform.h"
#include "x11_display.h"

#include <X11/extensions/XInput.h>
#include <X11/extensions/XInput2.h>
#include <X11/XKBlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <algorithm>
#include <poll.h>

namespace {

// How far ahead of a recent server time the probe's grab asks for: well
// ahead of the server's clock, and less than the half of its 32-bit range
// that it reads as the past.
const Time TE_PROBE_AHEAD_MS = 0x40000000;

// The pause in the user's typing the hold's end waits for before it lets
// the keyboards go: a key pressed just as they are let go could otherwise
// overtake one the grab got a moment before.
const std::uint64_t TE_RELEASE_QUIET_MS = 20;

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

void te_send_xtest(void* ctx, unsigned code, bool press) {
    XTestFakeKeyEvent(static_cast<Display*>(ctx), code, press, CurrentTime);
}

// The held events from `from` on, again, through the core keyboard's XTest
// device.
void te_send_held(Display* dpy, const te_key_hold& h, std::size_t from, te_key_replay* replay) {
    for (std::size_t i = from; i < h.held.size(); i++)
        te_key_replay_event(replay, h.held[i].code, h.held[i].press, te_send_xtest, dpy);
}

// Keys that change what other keys type for as long as they are held. Lock
// keys and group switches are left out: pressed again, they would toggle.
bool te_is_holding_modifier(KeySym ks) {
    switch (ks) {
    case XK_Shift_L: case XK_Shift_R: case XK_Control_L: case XK_Control_R:
    case XK_Alt_L: case XK_Alt_R: case XK_Meta_L: case XK_Meta_R:
    case XK_Super_L: case XK_Super_R: case XK_Hyper_L: case XK_Hyper_R:
    case XK_ISO_Level3_Shift: case XK_ISO_Level5_Shift: case XK_Mode_switch:
        return true;
    default:
        return false;
    }
}

// Adds the keys down on the device (its own state, whichever master it is
// attached to) to down[].
void te_device_keys_down(Display* dpy, int device, bool down[256]) {
    XDevice* dev = XOpenDevice(dpy, (XID)device);
    if (!dev) return;
    if (XDeviceState* state = XQueryDeviceState(dpy, dev)) {
        XInputClass* c = state->data;
        for (int i = 0; i < state->num_classes; i++) {
            if (c->c_class == KeyClass) {
                const XKeyState* keys = reinterpret_cast<const XKeyState*>(c);
                for (int code = 8; code < 256; code++) down[code] = down[code] || te_keymap_down(keys->keys, code);
            }
            c = reinterpret_cast<XInputClass*>(reinterpret_cast<char*>(c) + c->length);
        }
        XFreeDeviceState(state);
    }
    XCloseDevice(dpy, dev);
}

// The modifiers the user holds down on the keyboards now.
void te_modifiers_held(Display* dpy, const std::vector<int>& keyboards, bool held[256]) {
    bool down[256] = {};
    for (int device : keyboards) te_device_keys_down(dpy, device, down);
    for (unsigned code = 8; code < 256; code++)
        held[code] = down[code] && te_is_holding_modifier(XkbKeycodeToKeysym(dpy, (KeyCode)code, 0, 0));
}

}  // namespace

// A grab asked for with a time later than the server's clock never takes
// effect (GrabInvalidTime), but the server tells first whether another
// client holds the keyboard (AlreadyGrabbed): so the question costs one
// round trip and takes no key from anyone.
int te_keyboard_grabbed_elsewhere(Display* dpy, Time recent) {
    Time later = recent + TE_PROBE_AHEAD_MS;
    int status = XGrabKeyboard(dpy, DefaultRootWindow(dpy), False, GrabModeAsync, GrabModeAsync, later);
    if (status == GrabSuccess) XUngrabKeyboard(dpy, CurrentTime);  // a server that took it after all
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

void te_key_hold_let_go(Display* dpy) {
    char keys[32];
    XQueryKeymap(dpy, keys);
    // A key still down would change the typing's keys (a modifier) or
    // swallow the typing's own press of it (the trigger's last key).
    for (unsigned code = 8; code < 256; code++)
        if (te_keymap_down(keys, (int)code)) XTestFakeKeyEvent(dpy, code, False, CurrentTime);
}

void te_key_hold_release(te_key_hold* h, Display* dpy, int (*collect)(Display*), bool lend, bool lent[256]) {
    if (!h->on) return;
    // While the keyboards stay grabbed, what they held is sent again at
    // once and what the user presses meanwhile follows it; they are let go
    // once the user has paused, or the hold has lasted its longest. Every
    // event a grab got was sent before the next round trip's reply.
    te_key_replay replay;
    te_key_replay_begin(&replay);
    std::size_t sent = 0;
    std::uint64_t end = h->since + TE_HOLD_MAX_MS, quiet_since = now_millis();
    for (;;) {
        XSync(dpy, False);
        collect(dpy);
        std::uint64_t now = now_millis();
        if (sent < h->held.size()) {
            te_send_held(dpy, *h, sent, &replay);
            XFlush(dpy);
            sent = h->held.size();
            quiet_since = now;
        }
        if (now >= end || now - quiet_since >= TE_RELEASE_QUIET_MS || te_x11_lost()) break;
        if (collect(dpy)) continue;  // read while the keys went out
        struct pollfd p = {ConnectionNumber(dpy), POLLIN, 0};
        poll(&p, 1, (int)std::min<std::uint64_t>(end - now, TE_RELEASE_QUIET_MS - (now - quiet_since)));
    }
    for (int device : h->grabbed) XIUngrabDevice(dpy, device, CurrentTime);
    // What reached a grab after the last round trip goes last.
    XSync(dpy, False);
    collect(dpy);
    te_send_held(dpy, *h, sent, &replay);
    // The user's own release of a key still held comes from the keyboard,
    // which the core keyboard no longer counts down: a modifier lent stays
    // (or is put) down on the XTest device until then, any other key is
    // released there now.
    bool keep[256] = {};
    if (lend) te_modifiers_held(dpy, h->grabbed, keep);
    te_key_replay_end(&replay, keep, te_send_xtest, dpy);
    for (unsigned code = 0; code < 256; code++) lent[code] = lent[code] || replay.down[code];
    XFlush(dpy);
    te_key_hold_wipe(h);
}

void te_key_hold_lend(Display* dpy, const std::vector<int>& keyboards, bool lent[256]) {
    bool keep[256] = {};
    te_modifiers_held(dpy, keyboards, keep);
    for (unsigned code = 0; code < 256; code++) {
        if (!keep[code]) continue;
        XTestFakeKeyEvent(dpy, code, True, CurrentTime);
        lent[code] = true;
    }
    XFlush(dpy);
}

void te_key_hold_wipe(te_key_hold* h) {
    if (!h->held.empty()) te_wipe(h->held.data(), h->held.size() * sizeof(te_held_key));
    *h = te_key_hold();
}
