#include "ping.h"

#include "key_watch.h"
#include "platform.h"
#include "x11_display.h"

#include <algorithm>
#include <atomic>

namespace {

// Tells our pings apart (data.l[1]); a program sends the message back as it
// came, with the root window in place of its own.
std::atomic<long> te_ping_serial{1};

bool te_lists_protocol(Display* dpy, Window w, Atom protocol) {
    Atom* protocols = nullptr;
    int n = 0;
    if (!XGetWMProtocols(dpy, w, &protocols, &n)) return false;
    bool found = false;
    for (int i = 0; i < n && !found; i++) found = protocols[i] == protocol;
    XFree(protocols);
    return found;
}

void te_send_ping(Display* dpy, Window target, long serial) {
    XEvent ev = {};
    ev.xclient.type = ClientMessage;
    ev.xclient.window = target;
    ev.xclient.message_type = XInternAtom(dpy, "WM_PROTOCOLS", False);
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = (long)XInternAtom(dpy, "_NET_WM_PING", False);
    ev.xclient.data.l[1] = serial;
    ev.xclient.data.l[2] = (long)target;
    XSendEvent(dpy, target, False, NoEventMask, &ev);
}

// A hold of the user's keys that runs out meanwhile is ended on time, and
// the wait goes on: the program may only be busy.
int te_wait_answer(Display* dpy, Window root, Window target, long serial, std::uint64_t deadline) {
    XEvent ev;
    for (;;) {
        std::uint64_t until = std::min(deadline, te_key_watch_hold_deadline());
        if (te_x11_wait_event(dpy, root, ClientMessage, &ev, until)) {
            if (ev.xclient.format == 32 && ev.xclient.data.l[1] == serial && (Window)ev.xclient.data.l[2] == target)
                return 1;
            continue;
        }
        if (until == deadline || te_x11_lost()) return 0;
        te_key_watch_hold_expire();
    }
}

// Drops what the root window sent us while we listened to it.
void te_drop_root_events(Display* dpy, Window root, long mask) {
    XSync(dpy, False);
    XEvent ev;
    while (XCheckWindowEvent(dpy, root, mask, &ev)) {
    }
    while (XCheckTypedWindowEvent(dpy, root, ClientMessage, &ev)) {
    }
}

}  // namespace

Window te_ping_target(Display* dpy) {
    Window focus = te_x11_input_focus(dpy);
    if (focus == None || focus == PointerRoot) return None;
    Atom ping = XInternAtom(dpy, "_NET_WM_PING", False);
    for (Window w = focus; w != None; w = te_x11_parent(dpy, w))
        if (te_lists_protocol(dpy, w, ping)) return w;
    return None;
}

// The answer goes to the root window with SubstructureRedirect and either
// SubstructureNotify (GTK, Chromium, Firefox) or StructureNotify (Qt): a
// client receives it by listening to either notify mask on the root window
// (besides what this connection already selects there).
int te_ping(Display* dpy, Window target, int timeout_ms) {
    Window root = DefaultRootWindow(dpy);
    XWindowAttributes attrs;
    if (!XGetWindowAttributes(dpy, root, &attrs)) return 0;
    const long answer_masks = SubstructureNotifyMask | StructureNotifyMask;
    XSelectInput(dpy, root, attrs.your_event_mask | answer_masks);
    long serial = te_ping_serial++;
    te_send_ping(dpy, target, serial);
    int answered = te_wait_answer(dpy, root, target, serial, now_millis() + (std::uint64_t)timeout_ms);
    XSelectInput(dpy, root, attrs.your_event_mask);
    long added = answer_masks & ~attrs.your_event_mask;
    if (added) te_drop_root_events(dpy, root, added);
    return answered;
}
