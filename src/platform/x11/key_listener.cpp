#include "key_listener.h"

#include "typing_marks.h"
#include "x11_display.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XInput2.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <algorithm>
#include <cstring>

namespace {

// Keys that move the cursor or end the line: what comes next follows some
// other text than the one typed so far.
bool te_is_moving_key(KeySym sym) {
    switch (sym) {
    case XK_Return: case XK_KP_Enter: case XK_Tab: case XK_ISO_Left_Tab: case XK_Escape:
    case XK_Left: case XK_Right: case XK_Up: case XK_Down:
    case XK_Home: case XK_End: case XK_Prior: case XK_Next: case XK_Begin:
        return true;
    default:
        // The keypad's own arrows, Home, End, PageUp, PageDown (Num Lock off).
        return sym >= XK_KP_Home && sym <= XK_KP_Begin;
    }
}

// What Enter and Tab type, as a reset tells it; null for the other keys.
const char* te_separator_text(KeySym sym) {
    if (sym == XK_Return || sym == XK_KP_Enter) return "\n";
    return sym == XK_Tab ? "\t" : nullptr;
}

// Buttons 4 to 7 scroll and leave the cursor where it is.
bool te_is_click(int button) { return button < 4 || button > 7; }

bool te_is_control_text(const char* text) {
    unsigned char c = (unsigned char)text[0];
    return c < 0x20 || c == 0x7F;
}

// Raw presses (and key releases) through the core devices, and changes of
// the devices.
int te_select_raw_events(Display* dpy, int* opcode) {
    int event, error;
    if (!XQueryExtension(dpy, "XInputExtension", opcode, &event, &error)) return 0;
    int major = 2, minor = 2;
    if (XIQueryVersion(dpy, &major, &minor) != Success || major < 2) return 0;
    unsigned char raw[XIMaskLen(XI_LASTEVENT)] = {0};
    XISetMask(raw, XI_RawKeyPress);
    XISetMask(raw, XI_RawKeyRelease);
    XISetMask(raw, XI_RawButtonPress);
    unsigned char devices[XIMaskLen(XI_LASTEVENT)] = {0};
    XISetMask(devices, XI_HierarchyChanged);
    XIEventMask masks[2] = {{XIAllMasterDevices, (int)sizeof raw, raw}, {XIAllDevices, (int)sizeof devices, devices}};
    XISelectEvents(dpy, DefaultRootWindow(dpy), masks, 2);
    return 1;
}

// An XTest device: the server marks them with the "XTEST Device" property
// (older servers only by name).
bool te_is_xtest_device(Display* dpy, const XIDeviceInfo& d, Atom mark) {
    if (mark == None) {
        std::size_t n = std::strlen(d.name);
        return (n > 15 && std::strcmp(d.name + n - 15, " XTEST keyboard") == 0) ||
               (n > 14 && std::strcmp(d.name + n - 14, " XTEST pointer") == 0);
    }
    int count = 0;
    Atom* props = XIListProperties(dpy, d.deviceid, &count);
    bool found = props && std::find(props, props + count, mark) != props + count;
    if (props) XFree(props);
    return found;
}

void te_read_devices(te_key_listener* l) {
    l->xtest.clear();
    l->keyboards.clear();
    int n = 0;
    XIDeviceInfo* info = XIQueryDevice(l->dpy, XIAllDevices, &n);
    if (!info) return;
    Atom mark = XInternAtom(l->dpy, "XTEST Device", True);
    for (int i = 0; i < n; i++) {
        if (info[i].use == XIMasterKeyboard || info[i].use == XIMasterPointer) continue;
        if (te_is_xtest_device(l->dpy, info[i], mark)) l->xtest.push_back(info[i].deviceid);
        else if (info[i].use == XISlaveKeyboard) l->keyboards.push_back(info[i].deviceid);
    }
    XIFreeDeviceInfo(info);
}

// Events of this device are other programs' typing, or the engine's.
bool te_from_xtest(const te_key_listener* l, int device) {
    return std::find(l->xtest.begin(), l->xtest.end(), device) != l->xtest.end();
}

// Whether an event of `device` is left out: another program's, unless
// those are watched; the engine's own, while it types. The user's keys a
// hold sends again count.
bool te_left_out(const te_key_listener* l, int device) {
    return te_from_xtest(l, device) && !l->replaying && (!l->synthetic || l->typing);
}

void te_push(te_key_listener* l, int kind, const char* text = nullptr) { te_key_queue_push(l->queue, kind, text); }

// Another window took the focus since the last key: the program in front
// may have changed.
void te_note_focus(te_key_listener* l) {
    Window focus = te_x11_input_focus(l->dpy);
    if (focus != l->focus) te_push(l, TE_KEY_RESET);
    l->focus = focus;
}

// While another client holds the keyboard, each key asks whether it still
// does; once it no longer does, what comes next starts afresh.
bool te_watching_nothing(te_key_listener* l) {
    if (!l->grabbed_elsewhere) return false;
    if (te_keyboard_grabbed_elsewhere(l->dpy, l->last_time)) return true;
    l->grabbed_elsewhere = false;
    te_push(l, TE_KEY_RESET);
    return true;
}

void te_on_key(te_key_listener* l, unsigned keycode) {
    KeySym sym = te_keymap_text_sym(&l->keymap, keycode);
    if (sym == NoSymbol || IsModifierKey(sym)) return;
    te_note_focus(l);
    if (te_keymap_text_shortcut(&l->keymap) || te_is_moving_key(sym)) {
        te_keymap_text_cancel_compose(&l->keymap);
        te_push(l, TE_KEY_RESET, te_keymap_text_shortcut(&l->keymap) ? nullptr : te_separator_text(sym));
        return;
    }
    if (sym == XK_BackSpace) {
        te_keymap_text_cancel_compose(&l->keymap);
        te_push(l, TE_KEY_BACKSPACE);
        return;
    }
    char text[32];
    int got = te_keymap_text_of(&l->keymap, keycode, sym, text, (int)sizeof text);
    if (got < 0 || (got > 0 && text[0] && te_is_control_text(text))) te_push(l, TE_KEY_RESET);
    else if (got > 0 && text[0]) te_push(l, TE_KEY_TEXT, text);
}

void te_on_mark(te_key_listener* l, const XPropertyEvent& ev) {
    l->typing = ev.state == PropertyNewValue;
    te_keymap_text_cancel_compose(&l->keymap);
}

void te_on_raw(te_key_listener* l, int evtype, const XIRawEvent* raw) {
    l->last_time = raw->time;
    if (te_left_out(l, raw->sourceid) || te_watching_nothing(l)) return;
    if (evtype == XI_RawKeyPress) {
        te_on_key(l, (unsigned)raw->detail);
    } else if (te_is_click(raw->detail)) {
        te_push(l, TE_KEY_RESET);
        l->hold.clicked = l->hold.clicked || l->hold.on;
    }
}

// The user let go of a key: one a hold left down on the XTest device for
// them goes up there too (the core keyboard has let go of it already).
void te_on_raw_release(te_key_listener* l, const XIRawEvent* raw) {
    unsigned code = (unsigned)raw->detail & 255;
    if (!l->lent[code] || te_from_xtest(l, raw->sourceid)) return;
    l->lent[code] = false;
    XTestFakeKeyEvent(l->dpy, code, False, CurrentTime);
    XFlush(l->dpy);
}

void te_let_go_of_lent(te_key_listener* l) {
    for (unsigned code = 0; code < 256; code++)
        if (l->lent[code]) XTestFakeKeyEvent(l->dpy, code, False, CurrentTime);
}

int te_take_xi(te_key_listener* l, XEvent* ev) {
    XGenericEventCookie* cookie = &ev->xcookie;
    if (cookie->type != GenericEvent || cookie->extension != l->xi_opcode) return 0;
    if (!XGetEventData(l->dpy, cookie)) return 1;
    if (cookie->evtype == XI_RawKeyPress || cookie->evtype == XI_RawButtonPress) {
        te_on_raw(l, cookie->evtype, static_cast<const XIRawEvent*>(cookie->data));
    } else if (cookie->evtype == XI_RawKeyRelease) {
        te_on_raw_release(l, static_cast<const XIRawEvent*>(cookie->data));
    } else if (cookie->evtype == XI_KeyPress || cookie->evtype == XI_KeyRelease) {
        const XIDeviceEvent* key = static_cast<const XIDeviceEvent*>(cookie->data);
        te_key_hold_note(&l->hold, key->deviceid, (unsigned)key->detail, cookie->evtype == XI_KeyPress);
    } else if (cookie->evtype == XI_HierarchyChanged) {
        te_read_devices(l);
    }
    XFreeEventData(l->dpy, cookie);
    return 1;
}

}  // namespace

int te_key_listener_open(te_key_listener* l, Display* dpy, te_key_queue* queue, bool synthetic) {
    l->dpy = dpy;
    l->queue = queue;
    l->synthetic = synthetic;
    te_x11_errors_mark();
    bool ok = te_keymap_text_open(&l->keymap, dpy) && te_select_raw_events(dpy, &l->xi_opcode);
    if (ok) {
        te_read_devices(l);
        l->marks = te_x11_property_window(dpy);
        l->mark_atom = te_typing_mark_atom(dpy);
        l->replay_atom = XInternAtom(dpy, "_VELMORA_TE_REPLAY", False);
        l->focus = te_x11_input_focus(dpy);
    }
    if (!ok || te_x11_errors_since(dpy) || te_x11_lost()) {
        te_key_listener_close(l);
        return 0;
    }
    te_typing_marks_listen(l->marks);
    return 1;
}

int te_key_listener_owns(const te_key_listener* l, const XEvent* ev) {
    if (!l->dpy) return 0;
    if (l->keymap.ctx && ev->type == l->keymap.event_base) return 1;
    if (ev->type == PropertyNotify && ev->xproperty.window == l->marks) return 1;
    return ev->xcookie.type == GenericEvent && ev->xcookie.extension == l->xi_opcode;
}

int te_key_listener_take(te_key_listener* l, XEvent* ev) {
    if (!l->dpy) return 0;
    if (te_keymap_text_follow(&l->keymap, ev)) return 1;
    if (ev->type == PropertyNotify && ev->xproperty.window == l->marks) {
        if (ev->xproperty.atom == l->mark_atom) te_on_mark(l, ev->xproperty);
        if (ev->xproperty.atom == l->replay_atom) l->replaying = ev->xproperty.state == PropertyNewValue;
        return 1;
    }
    return te_take_xi(l, ev);
}

void te_key_listener_close(te_key_listener* l) {
    te_typing_marks_listen(0);
    if (l->dpy && !te_x11_lost()) {
        te_let_go_of_lent(l);
        if (l->marks) XDestroyWindow(l->dpy, l->marks);
        unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {0};
        XIEventMask masks[2] = {{XIAllMasterDevices, (int)sizeof bits, bits}, {XIAllDevices, (int)sizeof bits, bits}};
        XISelectEvents(l->dpy, DefaultRootWindow(l->dpy), masks, 2);
        // Xlib itself follows keymap changes; only the state goes.
        XkbSelectEvents(l->dpy, XkbUseCoreKbd, XkbStateNotifyMask, 0);
        XFlush(l->dpy);
    }
    te_keymap_text_close(&l->keymap);
    te_key_hold_wipe(&l->hold);
    *l = te_key_listener();
}

void te_key_listener_mark_replay(te_key_listener* l, bool on) {
    if (!l->dpy || !l->marks) return;
    unsigned char one = 1;
    if (on) XChangeProperty(l->dpy, l->marks, l->replay_atom, XA_INTEGER, 8, PropModeReplace, &one, 1);
    else XDeleteProperty(l->dpy, l->marks, l->replay_atom);
}
