// The chord grab on Windows: not offered yet; the tray's "Insert snippet..."
// opens the picker.
#include <QCoreApplication>

#include "chord_grab.h"

te_chord_grab* te_chord_grab::make(QObject* parent) {
    return new te_refusing_grab(QCoreApplication::translate("te_picker", "no chord on this system yet"), parent);
}
