// What the KDE desktop can do, asked before a worker starts. Typing needs
// KWin's trust in this program (fake input); the clipboard and the keys
// are checked as on the other Wayland desktops.
#include "fake_input.h"
#include "kde_desktop.h"
#include "wl_desktop.h"

#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

std::string te_own_path() {
    char path[4096];
    ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) return "this program";
    path[n] = 0;
    return path;
}

}  // namespace

int te_kde_desktop_missing(int needs, char* why, int size) {
    if (size > 0) why[0] = 0;
    if (needs & TE_NEED_TYPING) {
        int offered = te_kde_fake_input_offered();
        if (offered < 0) return te_wl_desktop_missing(needs, why, size);
        if (offered == 0) {
            std::string text = "KWin does not let " + te_own_path() +
                               " type: it needs a desktop file in ~/.local/share/applications (or "
                               "/usr/share/applications) whose Exec= is that path and which says "
                               "X-KDE-Wayland-Interfaces=org_kde_kwin_fake_input";
            if (size > 0) std::snprintf(why, (std::size_t)size, "%s", text.c_str());
            return 1;
        }
    }
    return te_wl_desktop_missing(needs & ~TE_NEED_TYPING, why, size);
}
