// The default store path on POSIX systems.
#include "platform.h"

#include <cstdlib>
#include <cstring>

namespace {

// Joins dir + tail into out[size]; 0 when it does not fit.
int te_join_path(char* out, int size, const char* dir, const char* tail) {
    size_t need = std::strlen(dir) + std::strlen(tail) + 1;
    if (need > (size_t)size) return 0;
    std::snprintf(out, (size_t)size, "%s%s", dir, tail);
    return 1;
}

const char* te_env_nonempty(const char* name) {
    const char* v = std::getenv(name);
    return (v && v[0]) ? v : nullptr;
}

}  // namespace

// APPDATA wins (a host may set it on every platform), then the XDG config
// folder, then ~/.config.
int default_store_path(char* out, int size) {
    const char* tail = "/Wrenfold/snippets.json";
    if (const char* app = te_env_nonempty("APPDATA")) return te_join_path(out, size, app, tail);
    if (const char* xdg = te_env_nonempty("XDG_CONFIG_HOME")) return te_join_path(out, size, xdg, tail);
    if (const char* home = te_env_nonempty("HOME"))
        return te_join_path(out, size, home, "/.config/Wrenfold/snippets.json");
    return 0;
}
