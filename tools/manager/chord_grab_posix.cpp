// The chord grab on Linux: X11 through the window's X connection; Wayland
// compositors keep the keys to themselves.
#include <QCoreApplication>
#include <QGuiApplication>

#include "chord_grab.h"
#include "chord_grab_x11.h"

te_chord_grab* te_chord_grab::make(QObject* parent) {
    if (QGuiApplication::platformName() == QLatin1String("xcb")) return new te_x11_chord_grab(parent);
    return new te_refusing_grab(
        QCoreApplication::translate("te_picker",
                                    "this desktop lets no program watch a chord: have the compositor run "
                                    "`velmora-manager --pick` on it (sway: bindsym Ctrl+Alt+space exec "
                                    "velmora-manager --pick)"),
        parent);
}
