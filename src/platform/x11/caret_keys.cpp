// The caret keys a snippet needs after its text: Left and Delete, typed
// as the text is, so a key watch leaves them out.
#include "key_presses.h"
#include "x11_desktop.h"

#include <X11/keysym.h>

int te_x11_press_key(int key, int count, int dry_run) {
    KeySym sym = key == TE_PRESS_LEFT ? XK_Left : key == TE_PRESS_DELETE ? XK_Delete : NoSymbol;
    if (sym == NoSymbol || count <= 0) return -1;
    if (dry_run) return -3;
    return te_x11_type_keys(std::vector<KeySym>((std::size_t)count, sym));
}
