// What the GNOME desktop can do, asked before a worker starts: typing and
// the clipboard need a remote desktop session, which Mutter 43 grants any
// program of the session without asking; keys as on the other Wayland
// desktops.
#include "gnome_desktop.h"
#include "remote_desktop.h"
#include "session_bus.h"
#include "wl_desktop.h"

#include <cstdio>
#include <string>

int te_gnome_desktop_missing(int needs, char* why, int size) {
    if (size > 0) why[0] = 0;
    if (needs & (TE_NEED_TYPING | TE_NEED_CLIPBOARD)) {
        std::string error = "no session bus";
        std::lock_guard<std::mutex> hold(te_bus_lock);
        sd_bus* bus = te_bus_locked();
        if (!bus || te_gnome_session(bus, &error).empty()) {
            std::string text = "GNOME's Mutter refuses this program a remote desktop session (" + error +
                               "), which typing and the clipboard need; programs under Xwayland can still be "
                               "served by the X11 desktop (te run --desktop x11)";
            if (size > 0) std::snprintf(why, (std::size_t)size, "%s", text.c_str());
            return 1;
        }
    }
    return te_wl_desktop_missing(needs & ~(TE_NEED_TYPING | TE_NEED_CLIPBOARD), why, size);
}
