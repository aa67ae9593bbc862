#include "chord_grab_x11.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <cstdlib>
#include <xcb/xcb.h>

#include "hotkey_chord.h"
#include "vk_keysyms.h"

namespace {

// Caps Lock and Num Lock (Mod2 on every common keyboard map).
const std::uint16_t TE_LOCKS[] = {0, XCB_MOD_MASK_LOCK, XCB_MOD_MASK_2, XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2};

xcb_connection_t* te_connection() {
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

xcb_window_t te_root(xcb_connection_t* c) { return xcb_setup_roots_iterator(xcb_get_setup(c)).data->root; }

std::uint16_t te_x11_mods(int mods) {
    std::uint16_t m = 0;
    if (mods & TE_MOD_CTRL) m |= XCB_MOD_MASK_CONTROL;
    if (mods & TE_MOD_ALT) m |= XCB_MOD_MASK_1;
    if (mods & TE_MOD_SHIFT) m |= XCB_MOD_MASK_SHIFT;
    if (mods & TE_MOD_WIN) m |= XCB_MOD_MASK_4;
    return m;
}

// Every keycode whose first two levels give one of the key's keysyms.
std::vector<std::uint8_t> te_keycodes_of(xcb_connection_t* c, int vk) {
    std::uint32_t syms[TE_VK_MAX_KEYSYMS];
    int n = te_vk_to_keysyms(vk, syms);
    const xcb_setup_t* setup = xcb_get_setup(c);
    int first = setup->min_keycode, count = setup->max_keycode - setup->min_keycode + 1;
    xcb_get_keyboard_mapping_reply_t* map =
        xcb_get_keyboard_mapping_reply(c, xcb_get_keyboard_mapping(c, (xcb_keycode_t)first, (std::uint8_t)count), nullptr);
    std::vector<std::uint8_t> out;
    if (!map) return out;
    const xcb_keysym_t* table = xcb_get_keyboard_mapping_keysyms(map);
    int per = map->keysyms_per_keycode;
    for (int k = 0; k < count; k++)
        for (int level = 0; level < per && level < 2; level++)
            for (int i = 0; i < n; i++)
                if (table[k * per + level] == syms[i] && (out.empty() || out.back() != first + k))
                    out.push_back((std::uint8_t)(first + k));
    std::free(map);
    return out;
}

}  // namespace

te_x11_chord_grab::te_x11_chord_grab(QObject* parent) : te_chord_grab(parent) {
    QCoreApplication::instance()->installNativeEventFilter(this);
}

te_x11_chord_grab::~te_x11_chord_grab() {
    release();
    if (QCoreApplication::instance()) QCoreApplication::instance()->removeNativeEventFilter(this);
}

bool te_x11_chord_grab::grab(const te_chord& chord, QString* why) {
    release();
    xcb_connection_t* c = te_connection();
    if (!c) {
        *why = QCoreApplication::translate("te_picker", "no X connection");
        return false;
    }
    std::vector<std::uint8_t> keys = te_keycodes_of(c, chord.vk);
    if (keys.empty()) {
        *why = QCoreApplication::translate("te_picker", "the keyboard has no such key");
        return false;
    }
    std::vector<xcb_void_cookie_t> asked;
    std::uint16_t mods = te_x11_mods(chord.mods);
    for (std::uint8_t key : keys)
        for (std::uint16_t lock : TE_LOCKS)
            asked.push_back(xcb_grab_key_checked(c, 1, te_root(c), mods | lock, key, XCB_GRAB_MODE_ASYNC,
                                                 XCB_GRAB_MODE_ASYNC));
    bool taken = false;
    for (xcb_void_cookie_t cookie : asked)
        if (xcb_generic_error_t* e = xcb_request_check(c, cookie)) {
            taken = true;
            std::free(e);
        }
    m_keycodes = keys;
    m_mods = mods;
    if (!taken) return true;
    release();  // the grabs that were had, too: half a chord is none
    *why = QCoreApplication::translate("te_picker", "another program has taken it");
    return false;
}

void te_x11_chord_grab::release() {
    xcb_connection_t* c = te_connection();
    if (c)
        for (std::uint8_t key : m_keycodes)
            for (std::uint16_t lock : TE_LOCKS) xcb_ungrab_key(c, key, te_root(c), m_mods | lock);
    if (c && !m_keycodes.empty()) xcb_flush(c);
    m_keycodes.clear();
    m_down = false;
}

bool te_x11_chord_grab::nativeEventFilter(const QByteArray& type, void* message, qintptr*) {
    if (type != "xcb_generic_event_t" || m_keycodes.empty()) return false;
    auto* event = static_cast<xcb_generic_event_t*>(message);
    int kind = event->response_type & 0x7f;
    if (kind != XCB_KEY_PRESS && kind != XCB_KEY_RELEASE) return false;
    auto* key = reinterpret_cast<xcb_key_press_event_t*>(event);
    bool ours = false;
    for (std::uint8_t k : m_keycodes) ours |= key->detail == k;
    if (!ours) return false;
    if (kind == XCB_KEY_RELEASE) {
        m_down = false;  // whatever was let go of first
    } else if ((key->state & ~(XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2)) == m_mods && !m_down) {
        m_down = true;
        // Once Qt has gone on with the event (below): the picker's request
        // for the focus then carries the chord's time, and a window manager
        // that weighs requests against the user's last action grants it.
        QMetaObject::invokeMethod(this, &te_chord_grab::pressed, Qt::QueuedConnection);
    }
    // Qt goes on with the event: it takes the press's time as the latest
    // user action, which the window manager wants of a window that takes
    // the focus; it finds no window of its own for the root and drops it.
    return false;
}
