// A change count for the clipboard, so that a poller reads the text only
// when it can have changed. The XFixes extension reports every time the
// CLIPBOARD selection gets an owner, loses one, or its owner goes away; a
// program that copies takes the selection anew each time, even when it
// already owns it, so each copy counts. Whoever takes such an event off
// the connection (the change count here, or the worker's wait) counts it.
#include "clipboard_sequence.h"

#include "platform.h"
#include "x11_desktop.h"
#include "x11_display.h"

#include <X11/extensions/Xfixes.h>

namespace {

struct te_clip_watch {
    unsigned connection = 0;  // the connection the watch was set up on
    int event_base = -1;      // -1 when the server has no XFixes
    std::uint32_t count = 0;
};

thread_local te_clip_watch te_watch;

void te_bump(te_clip_watch& w) {
    if (++w.count == 0) w.count = 1;
}

// Asks for selection events on a new connection. The count moves on, since
// nothing is known about what happened while there was no connection.
void te_start_watch(Display* dpy, te_clip_watch& w) {
    w.connection = te_x11_connection_id();
    int error_base = 0;
    if (!XFixesQueryExtension(dpy, &w.event_base, &error_base)) {
        w.event_base = -1;
        return;
    }
    Atom clipboard = XInternAtom(dpy, "CLIPBOARD", False);
    XFixesSelectSelectionInput(dpy, te_x11_helper_window(dpy), clipboard,
                               XFixesSetSelectionOwnerNotifyMask | XFixesSelectionWindowDestroyNotifyMask |
                                   XFixesSelectionClientCloseNotifyMask);
    // A round trip: once this returns, every later change is reported.
    XSync(dpy, False);
    te_bump(w);
}

}  // namespace

int te_x11_clipboard_watch(Display* dpy) {
    te_clip_watch& w = te_watch;
    if (w.connection != te_x11_connection_id()) te_start_watch(dpy, w);
    return w.event_base >= 0 ? 1 : 0;
}

int te_x11_clipboard_event(const XEvent* ev) {
    te_clip_watch& w = te_watch;
    if (w.event_base < 0 || ev->type != w.event_base + XFixesSelectionNotify) return 0;
    te_bump(w);
    return 1;
}

std::uint32_t te_x11_clipboard_sequence(void) {
    Display* dpy = te_x11_display();
    if (!dpy || !te_x11_clipboard_watch(dpy)) return 0;
    XEvent ev;
    while (XCheckTypedEvent(dpy, te_watch.event_base + XFixesSelectionNotify, &ev)) te_bump(te_watch);
    return te_x11_lost() ? 0 : te_watch.count;
}
