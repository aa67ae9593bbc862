// Holding the user's keys back from the window while keys mode replaces a
// trigger (keys_hold_begin and keys_hold_end in platform.h).
//
// The user's keyboards (every slave keyboard that is not an XTest device)
// are grabbed through XInput2 on the key listener's connection. A grabbed
// slave is detached from the core keyboard for the grab's length: its keys
// come to the grab, as XI_KeyPress and XI_KeyRelease events, instead of to
// the window, while the engine's XTest typing goes on through the core
// keyboard to the window, and the user's modifiers no longer change what
// that typing means. The hold's end sends the held key events again, in
// order, through the core keyboard's XTest device, while the keyboards
// are still grabbed (keys pressed meanwhile are held too and follow at
// once), and lets the keyboards go only after a short pause in the user's
// typing (or when the hold has lasted TE_HOLD_MAX_MS), so that a key the
// user presses as they are let go does not overtake one held just before. The key listener takes the keys sent again as
// the user's (the replay marks, key_listener.h). A key the user still
// holds then is let go of in the core keyboard: it is typed once, and its
// own release later changes nothing. The modifiers among them (Shift,
// AltGr, Ctrl, Alt, Super) are then lent: pressed again on the XTest
// device, so that the next key is typed with them as the user means it;
// the listener lets go of each there when the user lets go of theirs.
//
// The hold ends after TE_HOLD_MAX_MS whatever the typing is doing: the
// waits during a hold (for a program to answer a ping, a pause) go no
// further than that (te_key_watch_hold_deadline, key_watch.h). Ended in
// the middle of a typing, it lends the modifiers still held only once the
// typing is done, so that they do not change the characters typed.
//
// A keyboard another client holds (a password prompt, a screen locker: an
// XGrabKeyboard of its own) is told by the server's answer to a grab of the
// core keyboard that cannot take effect: then nothing is held or typed.
//
// Keys other programs inject through the core keyboard's XTest device are
// never held back: the engine types through that device itself.
#ifndef TE_X11_KEY_HOLD_H
#define TE_X11_KEY_HOLD_H

#include <X11/Xlib.h>
#include <cstdint>
#include <vector>

struct te_held_key {
    int device;
    unsigned code;
    bool press;
};

struct te_key_hold {
    bool on = false;
    std::uint64_t since = 0;         // now_millis() when it began
    std::vector<int> grabbed;        // the keyboards grabbed
    std::vector<te_held_key> held;   // in the order they came
    bool clicked = false;            // a mouse button was pressed since it began
};

// 1 when another client has grabbed the core keyboard. `recent` is a
// server time seen lately (an event's).
int te_keyboard_grabbed_elsewhere(Display* dpy, Time recent);

// Grabs the keyboards; TE_HOLD_ON, or TE_HOLD_NONE (nothing grabbed) when
// one cannot be grabbed. The grab replies come after every event of the
// keys that reached the window first.
int te_key_hold_grab(te_key_hold* h, Display* dpy, const std::vector<int>& keyboards);

// A key event of a grabbed keyboard: held.
void te_key_hold_note(te_key_hold* h, int device, unsigned code, bool press);

// Releases in the core keyboard every key it counts as down: during a hold
// the user's keys cannot reach it, so the typing need not wait for them.
void te_key_hold_let_go(Display* dpy);

// Sends the held keys again and lets the keyboards go; `collect()` takes
// the events that arrived meanwhile (grab events come to
// te_key_hold_note through it) and says how many it took. The keys are
// then forgotten. With `lend`, the modifiers the user still holds are
// lent, and added to lent[]. Nothing when no hold is on.
void te_key_hold_release(te_key_hold* h, Display* dpy, int (*collect)(Display*), bool lend, bool lent[256]);

// Lends the modifiers the user holds on the keyboards now; adds them to
// lent[].
void te_key_hold_lend(Display* dpy, const std::vector<int>& keyboards, bool lent[256]);

// Forgets the hold, overwriting the keys it kept.
void te_key_hold_wipe(te_key_hold* h);

#endif
