// Marks around the engine's own typing, so that a key listener can tell
// the engine's keystrokes from the user's.
//
// XTest events carry nothing that names their sender (a test's xdotool
// types through the same device as the engine), so the typist brackets its
// keystrokes with two property changes on the listener's window. The
// server handles a client's requests in order, so the listener sees the
// first mark, the raw key events of the typing, then the second mark, in
// that order on its own connection.
#ifndef TE_X11_TYPING_MARKS_H
#define TE_X11_TYPING_MARKS_H

#include <X11/Xlib.h>

// The window marks go to (0: nobody listens, no marks are sent).
void te_typing_marks_listen(Window w);

// On the typist's connection, before the first and after the last
// keystroke of one typing. Calls must not overlap (typing is serialised).
void te_typing_mark_begin(Display* dpy);
void te_typing_mark_end(Display* dpy);

// The property the marks set (begin) and delete (end).
Atom te_typing_mark_atom(Display* dpy);

#endif
