// The text a key press stands for.
#ifndef TE_WINDOW_KEY_TEXT_H
#define TE_WINDOW_KEY_TEXT_H

#include <X11/Xlib.h>
#include <string>

// UTF-8 text of a key press: looked up through the input context when there
// is one, else from the keysym (Latin-1 and Unicode keysyms). Return and
// keypad Enter give a line feed, Tab a tab, BackSpace "\b"; other control
// characters and keys without text give "".
std::string te_key_text(XIC ic, XKeyEvent* ev);

#endif
