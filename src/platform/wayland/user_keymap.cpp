#include "user_keymap.h"

#include "seat_keymap.h"
#include "wl_connection.h"

#include <string>
#include <xkbcommon/xkbcommon.h>

xkb_keymap* te_wl_user_keymap_if_changed(xkb_context* ctx, unsigned* version) {
    unsigned now = 0;
    std::string text;
    {
        std::lock_guard<std::mutex> hold(te_wl_lock);
        te_wl* c = te_wl_connection_locked();
        if (c) te_wl_pump_locked(c);
        text = te_wl_seat_keymap_text(&now);
    }
    if (now == *version) return nullptr;
    *version = now;
    xkb_keymap* k = nullptr;
    if (!text.empty())
        k = xkb_keymap_new_from_string(ctx, text.c_str(), XKB_KEYMAP_FORMAT_TEXT_V1, XKB_KEYMAP_COMPILE_NO_FLAGS);
    if (!k) k = xkb_keymap_new_from_names(ctx, nullptr, XKB_KEYMAP_COMPILE_NO_FLAGS);
    return k;
}
