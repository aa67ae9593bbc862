// Which desktop a Linux process serves, chosen at run time among those the
// build linked in (cmake/desktops.cmake): the first time the engine needs
// the desktop, te_desktop_in_use() takes
//   - the one the environment variable TE_DESKTOP names ("x11", "wayland",
//     "kde", "gnome", "none"), when it is set and not empty;
//   - else KDE Plasma, when WAYLAND_DISPLAY's socket accepts a connection
//     and KWin (org.kde.KWin) is on the session bus;
//   - else GNOME, when that socket answers and Mutter's remote desktop
//     (org.gnome.Mutter.RemoteDesktop) is on the session bus;
//   - else Wayland (the wlroots family), when that socket answers; a
//     compositor offering none of what the engine needs is refused there,
//     saying what it lacks;
//   - else X11, when DISPLAY is set (an X session, or Xwayland);
//   - else "none".
// A host that shows which desktop runs (te run, te status) makes the same
// choice with te_desktop_choose before its first call into the library and
// sets TE_DESKTOP to it, so that the library cannot choose otherwise.
#ifndef TE_DESKTOP_CHOICE_H
#define TE_DESKTOP_CHOICE_H

#include "platform.h"

// The desktops linked into this program, in the order preferred, the
// fallback last; null after the last. The build makes this list
// (te_link_desktops).
extern const te_desktop* const te_desktops_linked[];

// 1 when the session of the desktop named is there: "wayland": its socket
// ($WAYLAND_DISPLAY, under $XDG_RUNTIME_DIR unless it is a path) accepts a
// connection; "kde", "gnome": that too, and the compositor's name is owned
// on the session bus; "x11": DISPLAY is set and not empty; any other
// name: 1. XDG_CURRENT_DESKTOP is not trusted: it is only a name a
// session gives itself.
int te_desktop_session_there(const char* name);

// The index among names[0..count) of the desktop to serve: the one
// TE_DESKTOP names when it is set and not empty (-1 when none is named
// so), else the first whose session is there, else the last.
int te_desktop_choose(const char* const* names, int count);

#endif
