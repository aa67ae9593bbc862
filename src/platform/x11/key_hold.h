// Holding the user's keys back from the window while keys mode replaces a
// trigger (keys_hold_begin and keys_hold_end in platform.h).
//
// The user's keyboards (every slave keyboard that is not an XTest device)
// are grabbed through XInput2 on the key listener's connection. A grabbed
// slave is detached from the core keyboard for the grab's length: its keys
// come to the grab, as XI_KeyPress and XI_KeyRelease events, instead of to
// the window, while the engine's XTest typing goes on through the core
// keyboard to the window, and the user's modifiers no longer change what
// that typing means. The hold's end lets the keyboards go and sends the
// held key events again, in order, on the device each came from
// (XTestFakeDeviceKeyEvent), so that the window and the server's key state
// see them as typed, and the key listener then sees them as the user's.
//
// A keyboard another client holds (a password prompt, a screen locker: an
// XGrabKeyboard of its own) is told by a grab of the core keyboard that the
// server refuses with AlreadyGrabbed: then nothing is held or typed.
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
    // Modifiers of the user's keyboards that were down in the core keyboard
    // when the typing started (every key down there is released for the
    // typing), with the keyboard each was pressed on.
    std::vector<te_held_key> let_go;
};

// 1 when another client has grabbed the core keyboard.
int te_keyboard_grabbed_elsewhere(Display* dpy);

// Grabs the keyboards; TE_HOLD_ON, or TE_HOLD_NONE (nothing grabbed) when
// one cannot be grabbed. The grab replies come after every event of the
// keys that reached the window first.
int te_key_hold_grab(te_key_hold* h, Display* dpy, const std::vector<int>& keyboards);

// A key event of a grabbed keyboard: held.
void te_key_hold_note(te_key_hold* h, int device, unsigned code, bool press);

// Releases in the core keyboard every key it counts as down; `source`
// tells the keyboard each key was last pressed on.
void te_key_hold_let_go(te_key_hold* h, Display* dpy, const unsigned char source[256]);

// Lets the keyboards go, then `collect()` takes the grab's events that
// arrived meanwhile, then the held keys are sent again, and forgotten.
// Nothing when no hold is on.
void te_key_hold_release(te_key_hold* h, Display* dpy, void (*collect)(Display*));

// Forgets the hold, overwriting the keys it kept.
void te_key_hold_wipe(te_key_hold* h);

#endif
