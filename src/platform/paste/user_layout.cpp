#include "user_layout.h"

#include "user_keymap.h"

#include <xkbcommon/xkbcommon.h>

namespace {

struct te_cached_layout {
    xkb_context* ctx = nullptr;
    unsigned version = TE_WL_KEYMAP_NONE;
    te_layout_keys layout;
};
te_cached_layout te_cached;

}  // namespace

const te_layout_keys& te_user_layout() {
    te_cached_layout& c = te_cached;
    if (!c.ctx) c.ctx = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    if (!c.ctx) return c.layout;
    xkb_keymap* keymap = te_wl_user_keymap_if_changed(c.ctx, &c.version);
    if (keymap) {
        c.layout = te_layout_keys_from(keymap);
        xkb_keymap_unref(keymap);
    }
    return c.layout;
}
