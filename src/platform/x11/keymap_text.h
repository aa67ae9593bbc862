// What a key press types: the server's keymap and keyboard state, read
// and kept in step through libxkbcommon-x11, and the compose sequences
// (dead keys) of the user's locale.
//
// libxkbcommon-x11 reads the keymap over an XCB connection of its own (Xlib
// hands out its XCB side only through libX11-xcb); the XKB events that keep
// the state in step arrive on the listener's Xlib connection.
#ifndef TE_X11_KEYMAP_TEXT_H
#define TE_X11_KEYMAP_TEXT_H

#include <X11/Xlib.h>
#include <cstdint>

struct xcb_connection_t;
struct xkb_context;
struct xkb_keymap;
struct xkb_state;
struct xkb_compose_table;
struct xkb_compose_state;

struct te_keymap_text {
    Display* dpy = nullptr;
    xcb_connection_t* conn = nullptr;  // for reading the keymap
    std::int32_t device = -1;  // the core keyboard
    int event_base = 0;        // of the XKB extension
    xkb_context* ctx = nullptr;
    xkb_keymap* keymap = nullptr;
    xkb_state* state = nullptr;
    xkb_compose_table* compose_table = nullptr;  // null: the locale has none
    xkb_compose_state* compose = nullptr;
    bool stale = false;  // the server's keymap changed since it was read
};

// Reads the core keyboard's keymap and state and selects the XKB events
// that keep them in step. 0 when the server's XKB cannot be used.
int te_keymap_text_open(te_keymap_text* k, Display* dpy);
void te_keymap_text_close(te_keymap_text* k);

// Follows an XKB event (a new keymap, a state change); 0 when `ev` is not
// an XKB event.
int te_keymap_text_follow(te_keymap_text* k, const XEvent* ev);

// The keysym a press of `keycode` gives with the modifiers now in effect
// (the keymap is read again first when it changed).
KeySym te_keymap_text_sym(te_keymap_text* k, unsigned keycode);

// 1 while Ctrl, Alt or Super is held: the key press is a shortcut.
int te_keymap_text_shortcut(const te_keymap_text* k);

// What the press types, into out[size]: 1 with the UTF-8 text (empty for
// a key that types nothing), 0 while a compose sequence (a dead key) waits
// for its next key, -1 when such a sequence was cancelled.
int te_keymap_text_of(te_keymap_text* k, unsigned keycode, KeySym sym, char* out, int size);

// Forgets a compose sequence in progress.
void te_keymap_text_cancel_compose(te_keymap_text* k);

#endif
