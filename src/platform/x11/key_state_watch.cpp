#include "key_state_watch.h"

#include "x11_display.h"

#include <X11/extensions/XInput2.h>

namespace {

struct te_key_state_watch {
    unsigned connection = 0;  // the connection the events were asked for on
    int opcode = -1;          // XInput's, -1 when the server has no XInput 2
};

thread_local te_key_state_watch te_states;

// The raw key events of the core keyboards on the root window: a mask of
// none stops them.
void te_select(Display* dpy, bool on) {
    unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {0};
    if (on) {
        XISetMask(bits, XI_RawKeyPress);
        XISetMask(bits, XI_RawKeyRelease);
    }
    XIEventMask mask = {XIAllMasterDevices, (int)sizeof bits, bits};
    XISelectEvents(dpy, DefaultRootWindow(dpy), &mask, 1);
}

int te_xi2_opcode(Display* dpy) {
    int opcode, event, error;
    if (!XQueryExtension(dpy, "XInputExtension", &opcode, &event, &error)) return -1;
    // The version the key listener asks for: a connection keeps the first.
    int major = 2, minor = 2;
    return XIQueryVersion(dpy, &major, &minor) == Success && major >= 2 ? opcode : -1;
}

}  // namespace

int te_x11_key_state_watch(Display* dpy) {
    te_key_state_watch& w = te_states;
    if (w.connection != te_x11_connection_id()) {
        w.connection = te_x11_connection_id();
        w.opcode = te_xi2_opcode(dpy);
        if (w.opcode >= 0) te_select(dpy, true);
        // A round trip: once this returns, every later key is reported.
        XSync(dpy, False);
    }
    return w.opcode >= 0 ? 1 : 0;
}

void te_x11_key_state_unwatch(void) {
    te_key_state_watch& w = te_states;
    Display* dpy = w.connection == te_x11_connection_id() && !te_x11_lost() ? te_x11_display() : nullptr;
    if (dpy && w.opcode >= 0) {
        te_select(dpy, false);
        XFlush(dpy);
    }
    w = te_key_state_watch();
}

int te_x11_key_state_event(const XEvent* ev) {
    const te_key_state_watch& w = te_states;
    return w.opcode >= 0 && ev->xcookie.type == GenericEvent && ev->xcookie.extension == w.opcode &&
           (ev->xcookie.evtype == XI_RawKeyPress || ev->xcookie.evtype == XI_RawKeyRelease);
}
