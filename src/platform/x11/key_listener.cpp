#include "key_listener.h"

#include "typing_marks.h"
#include "x11_display.h"

#include <X11/XKBlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XInput2.h>
#include <X11/keysym.h>

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

// Buttons 4 to 7 scroll and leave the cursor where it is.
bool te_is_click(int button) { return button < 4 || button > 7; }

bool te_is_control_text(const char* text) {
    unsigned char c = (unsigned char)text[0];
    return c < 0x20 || c == 0x7F;
}

int te_select_raw_events(Display* dpy, int* opcode) {
    int event, error;
    if (!XQueryExtension(dpy, "XInputExtension", opcode, &event, &error)) return 0;
    int major = 2, minor = 2;
    if (XIQueryVersion(dpy, &major, &minor) != Success || major < 2) return 0;
    unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {0};
    XISetMask(bits, XI_RawKeyPress);
    XISetMask(bits, XI_RawButtonPress);
    XIEventMask mask = {XIAllMasterDevices, (int)sizeof bits, bits};
    XISelectEvents(dpy, DefaultRootWindow(dpy), &mask, 1);
    return 1;
}

void te_push(te_key_listener* l, int kind, const char* text = nullptr) { te_key_queue_push(l->queue, kind, text); }

// Another window took the focus since the last key: the program in front
// may have changed.
void te_note_focus(te_key_listener* l) {
    Window focus = te_x11_input_focus(l->dpy);
    if (focus != l->focus) te_push(l, TE_KEY_RESET);
    l->focus = focus;
}

void te_on_key(te_key_listener* l, unsigned keycode) {
    if (l->typing) return;
    KeySym sym = te_keymap_text_sym(&l->keymap, keycode);
    if (sym == NoSymbol || IsModifierKey(sym)) return;
    te_note_focus(l);
    if (te_keymap_text_shortcut(&l->keymap) || te_is_moving_key(sym)) {
        te_keymap_text_cancel_compose(&l->keymap);
        te_push(l, TE_KEY_RESET);
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

int te_take_raw(te_key_listener* l, XEvent* ev) {
    XGenericEventCookie* cookie = &ev->xcookie;
    if (cookie->type != GenericEvent || cookie->extension != l->xi_opcode) return 0;
    if (!XGetEventData(l->dpy, cookie)) return 1;
    const XIRawEvent* raw = static_cast<const XIRawEvent*>(cookie->data);
    if (cookie->evtype == XI_RawKeyPress) te_on_key(l, (unsigned)raw->detail);
    else if (cookie->evtype == XI_RawButtonPress && te_is_click(raw->detail)) te_push(l, TE_KEY_RESET);
    XFreeEventData(l->dpy, cookie);
    return 1;
}

}  // namespace

int te_key_listener_open(te_key_listener* l, Display* dpy, te_key_queue* queue) {
    l->dpy = dpy;
    l->queue = queue;
    te_x11_errors_mark();
    bool ok = te_keymap_text_open(&l->keymap, dpy) && te_select_raw_events(dpy, &l->xi_opcode);
    if (ok) {
        l->marks = te_x11_property_window(dpy);
        l->mark_atom = te_typing_mark_atom(dpy);
        l->focus = te_x11_input_focus(dpy);
    }
    if (!ok || te_x11_errors_since(dpy) || te_x11_lost()) {
        te_key_listener_close(l);
        return 0;
    }
    te_typing_marks_listen(l->marks);
    return 1;
}

int te_key_listener_take(te_key_listener* l, XEvent* ev) {
    if (!l->dpy) return 0;
    if (te_keymap_text_follow(&l->keymap, ev)) return 1;
    if (ev->type == PropertyNotify && ev->xproperty.window == l->marks) {
        if (ev->xproperty.atom == l->mark_atom) te_on_mark(l, ev->xproperty);
        return 1;
    }
    return te_take_raw(l, ev);
}

void te_key_listener_close(te_key_listener* l) {
    te_typing_marks_listen(0);
    if (l->dpy && !te_x11_lost()) {
        if (l->marks) XDestroyWindow(l->dpy, l->marks);
        unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {0};
        XIEventMask mask = {XIAllMasterDevices, (int)sizeof bits, bits};
        XISelectEvents(l->dpy, DefaultRootWindow(l->dpy), &mask, 1);
        // Xlib itself follows keymap changes; only the state goes.
        XkbSelectEvents(l->dpy, XkbUseCoreKbd, XkbStateNotifyMask, 0);
        XFlush(l->dpy);
    }
    te_keymap_text_close(&l->keymap);
    *l = te_key_listener();
}
