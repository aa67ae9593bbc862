// The default store path on POSIX systems.
#include "store_path.h"

#include <cstdlib>

namespace {

const char* te_env_nonempty(const char* name) {
    const char* v = std::getenv(name);
    return (v && v[0]) ? v : nullptr;
}

}  // namespace

std::string te_default_store_path() {
    const std::string tail = "/Wrenfold/snippets.json";
    if (const char* app = te_env_nonempty("APPDATA")) return app + tail;
    if (const char* xdg = te_env_nonempty("XDG_CONFIG_HOME")) return xdg + tail;
    if (const char* home = te_env_nonempty("HOME")) return home + ("/.config" + tail);
    return "snippets.json";
}
