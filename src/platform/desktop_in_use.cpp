// The desktop in use: chosen once, on the first call, among those linked
// in (desktop_choice.h).
#include "desktop_choice.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

enum { TE_MAX_DESKTOPS = 8 };

// TE_DESKTOP names a desktop this program lacks: the fallback serves, and
// every start fails saying so.
te_desktop te_lacking;
std::string te_lacking_why;

int te_say_lacking(int needs, char* why, int size) {
    (void)needs;
    if (size > 0) std::snprintf(why, (std::size_t)size, "%s", te_lacking_why.c_str());
    return 1;
}

const te_desktop& te_lacking_desktop(const char* const* names, int count) {
    std::string have;
    for (int i = 0; i < count; i++) have += std::string(i == 0 ? "" : i + 1 == count ? " and " : ", ") + names[i];
    const char* forced = std::getenv("TE_DESKTOP");
    te_lacking_why = std::string("TE_DESKTOP names the desktop \"") + (forced ? forced : "") +
                     "\", which this library lacks; it has " + have;
    te_lacking = *te_desktops_linked[count - 1];
    te_lacking.missing = te_say_lacking;
    return te_lacking;
}

const te_desktop& te_choose_linked() {
    const char* names[TE_MAX_DESKTOPS];
    int count = 0;
    while (count < TE_MAX_DESKTOPS && te_desktops_linked[count]) {
        names[count] = te_desktops_linked[count]->name;
        count++;
    }
    int i = te_desktop_choose(names, count);
    return i >= 0 ? *te_desktops_linked[i] : te_lacking_desktop(names, count);
}

}  // namespace

const te_desktop& te_desktop_in_use(void) {
    // Made once, by whichever thread asks first; the others wait for it.
    static const te_desktop& chosen = te_choose_linked();
    return chosen;
}
