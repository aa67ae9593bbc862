// The program in front: the app_id of the activated toplevel (foot,
// firefox, org.gnome.Nautilus), ASCII letters upper-cased as rules name
// programs.
#include "ascii_case.h"
#include "platform.h"
#include "toplevels.h"
#include "wl_connection.h"
#include "wl_desktop.h"

#include <cstring>
#include <string>

const char* te_wl_foreground_process_name(char* out, int size) {
    if (size <= 1) return nullptr;
    out[0] = 0;
    std::string app_id;
    {
        std::lock_guard<std::mutex> hold(te_wl_lock);
        te_wl* c = te_wl_connection_locked();
        if (!c || !te_wl_pump_locked(c) || te_wl_front_app_id(&app_id) != 1) return nullptr;
    }
    if (app_id.empty() || app_id.size() + 1 > (std::size_t)size) return nullptr;
    std::memcpy(out, app_id.c_str(), app_id.size() + 1);
    te_ascii_upper(out);
    return out;
}
