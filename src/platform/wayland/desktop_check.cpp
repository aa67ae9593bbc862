// What this Wayland desktop can do, asked before a worker starts. Typing
// needs the virtual keyboard protocol, the clipboard the data control
// protocol; compositors that keep them from ordinary programs (GNOME's,
// KDE's, weston) are told apart here rather than typed into in vain. Keys
// and hotkey modes read the keyboards under /dev/input, which takes the
// input group.
#include "input_devices.h"
#include "platform.h"
#include "wl_connection.h"
#include "wl_desktop.h"

#include <cstdio>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string te_missing_protocols(int needs) {
    std::lock_guard<std::mutex> hold(te_wl_lock);
    te_wl* c = te_wl_connection_locked();
    if (!c) return "?";
    std::string missing;
    if ((needs & TE_NEED_TYPING) && (!c->keyboards || !c->seat)) missing = "zwp_virtual_keyboard_manager_v1";
    if ((needs & TE_NEED_CLIPBOARD) && (!c->data_control || !c->seat))
        missing += std::string(missing.empty() ? "" : " and ") + "zwlr_data_control_manager_v1";
    return missing;
}

// How the keyboards can be read: 1 yes (also while none is plugged in:
// one plugged in later is taken), 0 no device folder, -1 not allowed.
int te_keyboards_readable(int needs) {
    int denied = 0;
    int kinds = TE_WL_KEYBOARD | ((needs & TE_NEED_SYNTHETIC_KEYS) ? TE_WL_VIRTUAL : 0);
    std::vector<te_wl_device> found = te_wl_devices().open_devices(kinds, &denied);
    for (const te_wl_device& d : found) close(d.fd);
    if (!found.empty()) return 1;
    if (denied) return -1;
    struct stat st;
    return stat(te_wl_input_dir, &st) == 0 && S_ISDIR(st.st_mode) ? 1 : 0;
}

int te_say(char* why, int size, const std::string& text) {
    if (size > 0) std::snprintf(why, (std::size_t)size, "%s", text.c_str());
    return 1;
}

}  // namespace

int te_wl_desktop_missing(int needs, char* why, int size) {
    if (size > 0) why[0] = 0;
    std::string missing = te_missing_protocols(needs);
    if (missing == "?")
        return te_say(why, size, "no Wayland compositor answers at WAYLAND_DISPLAY; programs under Xwayland can "
                                 "still be served by the X11 desktop (te run --desktop x11)");
    if (!missing.empty())
        return te_say(why, size, "this Wayland compositor does not offer " + missing +
                                     " to other programs; programs under Xwayland can still be served by the "
                                     "X11 desktop (te run --desktop x11)");
    if (!(needs & (TE_NEED_KEYS | TE_NEED_KEY_STATES))) return 0;
    const char* mode = (needs & TE_NEED_KEYS) ? "keys mode" : "hotkey mode";
    int readable = te_keyboards_readable(needs);
    if (readable > 0) return 0;
    if (readable < 0)
        return te_say(why, size, std::string(mode) + ": the keyboards in " + te_wl_input_dir +
                                     " cannot be read; add your user to the input group (sudo usermod -aG input $USER), then log "
                                     "out and in again");
    return te_say(why, size, std::string(mode) + ": no keyboard found in " + te_wl_input_dir);
}
