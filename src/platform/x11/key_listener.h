// The key watch on X11: XInput2 raw key and button events on the root
// window, turned into key events through the current layout. Raw events
// arrive whoever holds the keyboard (no grab is needed); each names the
// device it came from. Those of XTest devices are other programs' typing,
// left out unless asked for (TE_WATCH_SYNTHETIC_KEYS), and the engine's own
// typing, between its typing marks, is always left out. While keys mode
// holds the user's keys (key_hold.h) the listener keeps the events of the
// grabbed keyboards; the keys a hold sends again through XTest come
// between two replay marks (property changes on the marks window, in order
// with the raw events) and count as the user's. While another client holds
// the keyboard (a password prompt), it watches nothing. A modifier a hold
// left down on the XTest device for the user (`lent`) is let go of there
// when the user's key release comes.
#ifndef TE_X11_KEY_LISTENER_H
#define TE_X11_KEY_LISTENER_H

#include "key_hold.h"
#include "key_queue.h"
#include "keymap_text.h"

#include <X11/Xlib.h>
#include <vector>

struct te_key_listener {
    Display* dpy = nullptr;
    int xi_opcode = 0;
    Window marks = 0;       // our window the typing marks change
    Atom mark_atom = None;
    bool typing = false;    // between the marks: the engine is typing
    Atom replay_atom = None;
    bool replaying = false; // between the replay marks: a hold sends the user's keys again
    Window focus = 0;       // the focus window at the last key
    bool synthetic = false; // XTest devices' keys count as the user's
    std::vector<int> xtest;      // the XTest devices
    std::vector<int> keyboards;  // the user's keyboards: the other slave keyboards
    // Another client grabbed the keyboard: nothing is watched until a key
    // finds the grab gone.
    bool grabbed_elsewhere = false;
    Time last_time = 0;     // the server time of the last raw event
    te_key_hold hold;
    bool lent[256] = {};    // down on the XTest device until the user lets go of them
    te_keymap_text keymap;
    te_key_queue* queue = nullptr;
};

// Selects the events and reads the layout and the devices. 0 when the
// server lacks XInput2 or XKB (the listener is then closed again).
int te_key_listener_open(te_key_listener* l, Display* dpy, te_key_queue* queue, bool synthetic);
// 1 when the event is one for the listener (te_key_listener_take takes
// it); it only looks at the event, and so may be asked from an Xlib
// predicate.
int te_key_listener_owns(const te_key_listener* l, const XEvent* ev);
// Takes one event from the connection: 1 when it was the listener's.
int te_key_listener_take(te_key_listener* l, XEvent* ev);
void te_key_listener_close(te_key_listener* l);
// Sets (on) or ends the replay mark, on the listener's own connection.
void te_key_listener_mark_replay(te_key_listener* l, bool on);

#endif
