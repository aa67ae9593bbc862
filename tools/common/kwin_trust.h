// KWin (KDE Plasma on Wayland) lets a program type through its fake input
// only when an applications folder holds a desktop file whose Exec= is the
// program's absolute path and that names org_kde_kwin_fake_input in
// X-KDE-Wayland-Interfaces. `cmake --install` (and so the packages)
// installs one for te and velmora-manager; for a build run from elsewhere
// these find and write one in the user's own folder. KWin reads a new one
// within a few seconds.
#ifndef TE_TOOLS_KWIN_TRUST_H
#define TE_TOOLS_KWIN_TRUST_H

#include <string>

// The absolute path of the running program, or "".
std::string te_own_program_path();

// Whether a desktop file in the user's or the system's applications
// folders ($XDG_DATA_HOME, $XDG_DATA_DIRS) lets `program` use fake input.
bool te_kwin_trusts(const std::string& program);

// Writes the desktop file letting `program` (an absolute path) use fake
// input into the user's applications folder, named for that path. True
// with *path set to the file; false with *error saying why.
bool te_kwin_trust_write(const std::string& program, std::string* path, std::string* error);

#endif
