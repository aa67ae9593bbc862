#include "desktop_settle.h"

#include "desktop_choice.h"
#include "env.h"

#include <cstdlib>
#include <sstream>
#include <vector>

namespace {

// The library's desktops in its order of preference, as the build made it
// (TE_LIBRARY_DESKTOPS="wayland,x11,none").
std::vector<std::string> te_library_desktops(void) {
    std::vector<std::string> names;
    std::istringstream list(TE_LIBRARY_DESKTOPS);
    for (std::string name; std::getline(list, name, ',');) names.push_back(name);
    return names;
}

// The library's own choice among them (TE_DESKTOP first); a name the
// library lacks is returned as TE_DESKTOP gives it.
std::string te_choose(bool* chosen_by_rule) {
    std::vector<std::string> names = te_library_desktops();
    std::vector<const char*> pointers;
    for (const std::string& name : names) pointers.push_back(name.c_str());
    int i = te_desktop_choose(pointers.data(), (int)pointers.size());
    *chosen_by_rule = i >= 0;
    if (i >= 0) return names[(std::size_t)i];
    const char* forced = std::getenv("TE_DESKTOP");
    return forced ? forced : "";
}

}  // namespace

std::string te_desktop_settle(const std::string& forced) {
    if (!forced.empty()) te_env_set("TE_DESKTOP", &forced);
    bool by_rule;
    std::string name = te_choose(&by_rule);
    if (by_rule) te_env_set("TE_DESKTOP", &name);
    return name;
}

std::string te_desktop_chosen(void) {
    bool by_rule;
    return te_choose(&by_rule);
}
