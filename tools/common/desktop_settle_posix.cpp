#include "desktop_settle.h"

#include "desktop_choice.h"
#include "env.h"

#include <cstdlib>
#include <sstream>
#include <vector>

std::string te_desktop_settle(const std::string& forced) {
    if (!forced.empty()) te_env_set("TE_DESKTOP", &forced);
    // The library's desktops in its order of preference, as the build
    // made it (TE_LIBRARY_DESKTOPS="wayland,x11,none").
    std::vector<std::string> names;
    std::istringstream list(TE_LIBRARY_DESKTOPS);
    for (std::string name; std::getline(list, name, ',');) names.push_back(name);
    std::vector<const char*> pointers;
    for (const std::string& name : names) pointers.push_back(name.c_str());
    int i = te_desktop_choose(pointers.data(), (int)pointers.size());
    if (i < 0) return std::getenv("TE_DESKTOP");
    te_env_set("TE_DESKTOP", &names[(std::size_t)i]);
    return names[(std::size_t)i];
}
