// Whether a name is owned on the user's session bus: how the desktop
// choice tells GNOME and KDE sessions apart (desktop_choice.h). A build
// without those desktops answers 0 (session_bus_probe_none.cpp).
#ifndef TE_SESSION_BUS_PROBE_H
#define TE_SESSION_BUS_PROBE_H

// 1 when `name` has an owner on the session bus, 0 when not or when there
// is no session bus. Makes a connection of its own and closes it.
int te_session_bus_has(const char* name);

#endif
