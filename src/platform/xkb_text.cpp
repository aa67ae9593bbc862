#include "xkb_text.h"

#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <xkbcommon/xkbcommon-compose.h>
#include <xkbcommon/xkbcommon.h>

xkb_compose_table* te_xkb_compose_table(xkb_context* ctx) {
    const char* user = nullptr;
    for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const char* v = std::getenv(name);
        if (v && v[0]) {
            user = v;
            break;
        }
    }
    bool plain = !user || std::strcmp(user, "C") == 0 || std::strcmp(user, "POSIX") == 0;
    for (const char* locale : {plain ? nullptr : user, "C.UTF-8", "en_US.UTF-8"}) {
        if (!locale) continue;
        xkb_compose_table* t = xkb_compose_table_new_from_locale(ctx, locale, XKB_COMPOSE_COMPILE_NO_FLAGS);
        if (t) return t;
    }
    return nullptr;
}

int te_xkb_press_text(xkb_compose_state* compose, xkb_state* state, std::uint32_t key, std::uint32_t sym,
                      char* out, int size) {
    out[0] = 0;
    if (compose && xkb_compose_state_feed(compose, sym) == XKB_COMPOSE_FEED_ACCEPTED) {
        switch (xkb_compose_state_get_status(compose)) {
        case XKB_COMPOSE_COMPOSING:
            return 0;
        case XKB_COMPOSE_COMPOSED:
            xkb_compose_state_get_utf8(compose, out, (size_t)size);
            xkb_compose_state_reset(compose);
            return 1;
        case XKB_COMPOSE_CANCELLED:
            xkb_compose_state_reset(compose);
            return -1;
        case XKB_COMPOSE_NOTHING:
            break;
        }
    }
    xkb_state_key_get_utf8(state, key, out, (size_t)size);
    return 1;
}

int te_xkb_shortcut_held(xkb_state* state) {
    if (!state) return 0;
    for (const char* mod : {XKB_MOD_NAME_CTRL, XKB_MOD_NAME_ALT, XKB_MOD_NAME_LOGO})
        if (xkb_state_mod_name_is_active(state, mod, XKB_STATE_MODS_EFFECTIVE) > 0) return 1;
    return 0;
}
