// The chord grab on X11: a passive grab of the chord's key with its
// modifiers on the root window, through the connection Qt's windows use, so
// the press arrives in this window's own event loop. The grab is made for
// every keycode the keyboard map gives the key, and with Caps Lock and Num
// Lock on or off, so the locks never hide the chord. An X server refuses a
// grab another program holds already: that is "taken".
#ifndef TE_MANAGER_CHORD_GRAB_X11_H
#define TE_MANAGER_CHORD_GRAB_X11_H

#include <QAbstractNativeEventFilter>
#include <cstdint>
#include <vector>

#include "chord_grab.h"

class te_x11_chord_grab : public te_chord_grab, public QAbstractNativeEventFilter {
    Q_OBJECT
public:
    explicit te_x11_chord_grab(QObject* parent);
    ~te_x11_chord_grab() override;

    bool grab(const te_chord& chord, QString* why) override;
    void release() override;
    bool nativeEventFilter(const QByteArray& type, void* message, qintptr* result) override;

private:
    std::vector<std::uint8_t> m_keycodes;
    std::uint16_t m_mods = 0;
    bool m_down = false;  // the chord is held: its key's repeats are not presses
};

#endif
