// Which desktop the library serves in this process, settled by the host
// before its first call into the library, so that the host can say which
// (te run, te status, the manager's status line) and the library cannot
// choose otherwise.
#ifndef TE_TOOLS_DESKTOP_SETTLE_H
#define TE_TOOLS_DESKTOP_SETTLE_H

#include <string>

// Linux: `forced` (x11, wayland, kde, gnome or none; empty: not forced) or TE_DESKTOP
// when set, else the desktop the library would choose itself (the
// library's own rule, src/platform/desktop_choice.h), put into TE_DESKTOP.
// Returns its name; a name the library lacks is returned as it is (the
// library's start then fails saying so). Windows: "win32", nothing set.
std::string te_desktop_settle(const std::string& forced);

// The desktop te_desktop_settle("") would settle on now, or the one
// already settled, without setting anything: for the hosts that only look
// for the instance serving it (te status, te stop). Windows: "win32".
std::string te_desktop_chosen(void);

#endif
