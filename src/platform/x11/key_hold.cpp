#include "key_hold.h"

#include "held_keys.h"
#include "memory_wipe.h"
#include "platform.h"
#include "x11_display.h"

#include <X11/extensions/XInput.h>
#include <X11/extensions/XInput2.h>
#include <X11/extensions/XTest.h>
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

// The held events from `from` on, again, through the core keyboard's XTest
// device; `down` follows the keys that leaves pressed there. A key the
// keyboard repeated during the hold (a press without a release between)
// gets a release first: the server drops a press of a key that is down.
void te_send_held(Display* dpy, const te_key_hold& h, std::size_t from, bool down[256]) {
    for (std::size_t i = from; i < h.held.size(); i++) {
        unsigned code = h.held[i].code & 255;
        bool press = h.held[i].press;
        if (press && down[code]) XTestFakeKeyEvent(dpy, code, False, CurrentTime);
        XTestFakeKeyEvent(dpy, code, press, CurrentTime);
        down[code] = press;
    }
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

void te_key_hold_release(te_key_hold* h, Display* dpy, void (*collect)(Display*)) {
    if (!h->on) return;
    // While the keyboards stay grabbed, what they held is sent again at
    // once and what the user presses meanwhile follows it; they are let go
    // once the user has paused, or the hold has lasted its longest. Every
    // event a grab got was sent before the next round trip's reply.
    bool down[256] = {};
    std::size_t sent = 0;
    std::uint64_t end = h->since + TE_HOLD_MAX_MS, quiet_since = now_millis();
    for (;;) {
        XSync(dpy, False);
        collect(dpy);
        std::uint64_t now = now_millis();
        if (sent < h->held.size()) {
            te_send_held(dpy, *h, sent, down);
            XFlush(dpy);
            sent = h->held.size();
            quiet_since = now;
        }
        if (now >= end || now - quiet_since >= TE_RELEASE_QUIET_MS || te_x11_lost()) break;
        if (XEventsQueued(dpy, QueuedAlready)) continue;  // read while the keys went out
        struct pollfd p = {ConnectionNumber(dpy), POLLIN, 0};
        poll(&p, 1, (int)std::min<std::uint64_t>(end - now, TE_RELEASE_QUIET_MS - (now - quiet_since)));
    }
    for (int device : h->grabbed) XIUngrabDevice(dpy, device, CurrentTime);
    // What reached a grab after the last round trip goes last.
    XSync(dpy, False);
    collect(dpy);
    te_send_held(dpy, *h, sent, down);
    // The user's own release of a key still held comes from the keyboard,
    // which no longer counts it down: it is released on the XTest device
    // now, so that no key stays down there.
    for (unsigned code = 0; code < 256; code++)
        if (down[code]) XTestFakeKeyEvent(dpy, code, False, CurrentTime);
    XFlush(dpy);
    te_key_hold_wipe(h);
}

void te_key_hold_wipe(te_key_hold* h) {
    if (!h->held.empty()) te_wipe(h->held.data(), h->held.size() * sizeof(te_held_key));
    *h = te_key_hold();
}
