// The key watch on X11: XInput2 raw key and button events on the root
// window (no grab; every keyboard, XTest included), turned into key events
// through the current layout. Keystrokes between the engine's typing marks
// are not the user's and are left out.
#ifndef TE_X11_KEY_LISTENER_H
#define TE_X11_KEY_LISTENER_H

#include "key_queue.h"
#include "keymap_text.h"

#include <X11/Xlib.h>

struct te_key_listener {
    Display* dpy = nullptr;
    int xi_opcode = 0;
    Window marks = 0;       // our window the typing marks change
    Atom mark_atom = None;
    bool typing = false;    // between the marks: the engine is typing
    Window focus = 0;       // the focus window at the last key
    te_keymap_text keymap;
    te_key_queue* queue = nullptr;
};

// Selects the events and reads the layout. 0 when the server lacks
// XInput2 or XKB (the listener is then closed again).
int te_key_listener_open(te_key_listener* l, Display* dpy, te_key_queue* queue);
// Takes one event from the connection: 1 when it was the listener's.
int te_key_listener_take(te_key_listener* l, XEvent* ev);
void te_key_listener_close(te_key_listener* l);

#endif
