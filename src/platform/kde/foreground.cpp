// The program in front: the active window's resource class (its app_id
// for Wayland programs: org.kde.kate, firefox), ASCII letters upper-cased
// as rules name programs.
#include "ascii_case.h"
#include "kde_desktop.h"
#include "kwin_front.h"

#include <cstring>
#include <string>

const char* te_kde_foreground_process_name(char* out, int size) {
    if (size <= 1) return nullptr;
    out[0] = 0;
    std::string cls;
    if (te_kde_front_class(&cls) != 1 || cls.empty() || cls.size() + 1 > (std::size_t)size) return nullptr;
    std::memcpy(out, cls.c_str(), cls.size() + 1);
    te_ascii_upper(out);
    return out;
}
