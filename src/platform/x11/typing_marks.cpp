#include "typing_marks.h"

#include "x11_display.h"

#include <X11/Xatom.h>
#include <atomic>

namespace {

// Written by the listener's thread, read by any typist.
std::atomic<unsigned long> te_marks_window{0};

}  // namespace

void te_typing_marks_listen(Window w) { te_marks_window.store(w); }

// Interned once per connection of the calling thread.
Atom te_typing_mark_atom(Display* dpy) {
    thread_local Atom atom = None;
    thread_local unsigned connection = 0;
    if (atom == None || connection != te_x11_connection_id()) {
        atom = XInternAtom(dpy, "_VELMORA_TE_TYPING", False);
        connection = te_x11_connection_id();
    }
    return atom;
}

void te_typing_mark_begin(Display* dpy) {
    Window w = te_marks_window.load();
    if (!w) return;
    unsigned char on = 1;
    XChangeProperty(dpy, w, te_typing_mark_atom(dpy), XA_INTEGER, 8, PropModeReplace, &on, 1);
}

void te_typing_mark_end(Display* dpy) {
    Window w = te_marks_window.load();
    if (!w) return;
    XDeleteProperty(dpy, w, te_typing_mark_atom(dpy));
    XFlush(dpy);
}
