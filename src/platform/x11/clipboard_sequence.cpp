// A change count for the clipboard, so that a poller reads the text only
// when it can have changed. The XFixes extension reports every time the
// CLIPBOARD selection gets an owner, loses one, or its owner goes away; a
// program that copies takes the selection anew each time, even when it
// already owns it, so each copy counts.
#include "platform.h"
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
    XFlush(dpy);
    te_bump(w);
}

}  // namespace

std::uint32_t clipboard_sequence(void) {
    Display* dpy = te_x11_display();
    if (!dpy) return 0;
    te_clip_watch& w = te_watch;
    if (w.connection != te_x11_connection_id()) te_start_watch(dpy, w);
    if (w.event_base < 0) return 0;
    XEvent ev;
    while (XCheckTypedEvent(dpy, w.event_base + XFixesSelectionNotify, &ev)) te_bump(w);
    return te_x11_lost() ? 0 : w.count;
}
