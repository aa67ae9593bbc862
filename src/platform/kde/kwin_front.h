// The program in front on KDE Plasma: KWin runs scripts loaded over D-Bus
// (org.kde.KWin, /Scripting); a small one reports the active window's
// resource class (its app_id for Wayland programs, the WM_CLASS class for
// X11 ones) to this process on every change of the active window.
#ifndef TE_KDE_KWIN_FRONT_H
#define TE_KDE_KWIN_FRONT_H

#include <string>

// 1 and the active window's resource class (may be empty), 0 when no
// window is active, -1 when KWin does not tell (no session bus, no KWin,
// scripting refused).
int te_kde_front_class(std::string* out);

#endif
