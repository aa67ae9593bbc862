// The program in front: the active window's resource class (its app_id
// for Wayland programs: org.kde.kate, firefox), ASCII letters upper-cased
// as rules name programs.
#include "ascii_case.h"
#include "kde_desktop.h"
#include "kwin_front.h"
#include "wl_desktop.h"

#include <cstring>
#include <string>
#include <strings.h>

const char* te_kde_foreground_process_name(char* out, int size) {
    if (size <= 1) return nullptr;
    out[0] = 0;
    std::string cls;
    if (te_kde_front_class(&cls) != 1 || cls.empty() || cls.size() + 1 > (std::size_t)size) return nullptr;
    std::memcpy(out, cls.c_str(), cls.size() + 1);
    te_ascii_upper(out);
    return out;
}

// A window of this process: its class is the app_id the host's toolkit
// made of the executable's name, as on the other Wayland compositors.
int te_kde_foreground_is_this_process(void) {
    std::string cls, own = te_own_executable_name();
    if (own.empty() || te_kde_front_class(&cls) != 1) return 0;
    return strcasecmp(cls.c_str(), own.c_str()) == 0 ? 1 : 0;
}
