// The caret keys a snippet needs after its text: Left and Delete, through
// the engine's virtual keyboard (its keymap takes in any keysym a typing
// needs), which a key watch never sees.
#include "key_presses.h"
#include "wl_desktop.h"

#include <xkbcommon/xkbcommon-keysyms.h>

int te_wl_press_key(int key, int count, int dry_run) {
    te_keysym sym = key == TE_PRESS_LEFT ? XKB_KEY_Left : key == TE_PRESS_DELETE ? XKB_KEY_Delete : 0;
    if (!sym || count <= 0) return -1;
    if (dry_run) return -3;
    return te_wl_type_keys(std::vector<te_keysym>((std::size_t)count, sym));
}
