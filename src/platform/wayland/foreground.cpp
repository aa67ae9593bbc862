// The program in front: the app_id of the activated toplevel (foot,
// firefox, org.gnome.Nautilus), ASCII letters upper-cased as rules name
// programs. A compositor names no process for a toplevel: a window of this
// process is told by its app_id, which a program's toolkit makes of its
// executable's name (or the desktop file the program names, which the
// hosts name after their executables).
#include "ascii_case.h"
#include "platform.h"
#include "toplevels.h"
#include "wl_connection.h"
#include "wl_desktop.h"

#include <climits>
#include <cstring>
#include <string>
#include <strings.h>
#include <unistd.h>

namespace {

// The activated toplevel's app_id; false when none is known.
bool te_wl_front_app(std::string* app_id) {
    std::lock_guard<std::mutex> hold(te_wl_lock);
    te_wl* c = te_wl_connection_locked();
    return c && te_wl_pump_locked(c) && te_wl_front_app_id(app_id) == 1;
}

}  // namespace

// The base name of this process's executable (also once an upgrade has
// replaced the file); "" when it cannot be read.
std::string te_own_executable_name(void) {
    char path[PATH_MAX + 1];
    ssize_t n = readlink("/proc/self/exe", path, PATH_MAX);
    if (n <= 0) return "";
    std::string name(path, (std::size_t)n);
    const std::string deleted = " (deleted)";
    if (name.size() > deleted.size() && name.compare(name.size() - deleted.size(), deleted.size(), deleted) == 0)
        name.resize(name.size() - deleted.size());
    return name.substr(name.rfind('/') + 1);
}

int te_wl_foreground_is_this_process(void) {
    std::string app_id, own = te_own_executable_name();
    if (own.empty() || !te_wl_front_app(&app_id)) return 0;
    return strcasecmp(app_id.c_str(), own.c_str()) == 0 ? 1 : 0;
}

const char* te_wl_foreground_process_name(char* out, int size) {
    if (size <= 1) return nullptr;
    out[0] = 0;
    std::string app_id;
    if (!te_wl_front_app(&app_id)) return nullptr;
    if (app_id.empty() || app_id.size() + 1 > (std::size_t)size) return nullptr;
    std::memcpy(out, app_id.c_str(), app_id.size() + 1);
    te_ascii_upper(out);
    return out;
}
