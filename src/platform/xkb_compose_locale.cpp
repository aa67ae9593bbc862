#include "xkb_compose_locale.h"

#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <xkbcommon/xkbcommon-compose.h>

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
