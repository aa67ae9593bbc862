#include "keymap_text.h"

#include "xkb_text.h"

#include <X11/XKBlib.h>
#include <xcb/xcb.h>
#include <xkbcommon/xkbcommon-compose.h>
#include <xkbcommon/xkbcommon-x11.h>

namespace {

void te_free_keymap(te_keymap_text* k) {
    xkb_state_unref(k->state);
    xkb_keymap_unref(k->keymap);
    k->state = nullptr;
    k->keymap = nullptr;
}

int te_read_keymap(te_keymap_text* k) {
    te_free_keymap(k);
    k->keymap = xkb_x11_keymap_new_from_device(k->ctx, k->conn, k->device, XKB_KEYMAP_COMPILE_NO_FLAGS);
    if (k->keymap) k->state = xkb_x11_state_new_from_device(k->keymap, k->conn, k->device);
    k->stale = false;
    return k->state != nullptr;
}

}  // namespace

int te_keymap_text_open(te_keymap_text* k, Display* dpy) {
    k->dpy = dpy;
    int opcode, error_base, major = XkbMajorVersion, minor = XkbMinorVersion;
    if (!XkbQueryExtension(dpy, &opcode, &k->event_base, &error_base, &major, &minor)) return 0;
    k->conn = xcb_connect(DisplayString(dpy), nullptr);
    if (xcb_connection_has_error(k->conn)) return 0;
    if (!xkb_x11_setup_xkb_extension(k->conn, XKB_X11_MIN_MAJOR_XKB_VERSION, XKB_X11_MIN_MINOR_XKB_VERSION,
                                     XKB_X11_SETUP_XKB_EXTENSION_NO_FLAGS, nullptr, nullptr, nullptr, nullptr))
        return 0;
    // Changes are followed from before the keymap is read, so none falls
    // between the read and the first event.
    unsigned events = XkbNewKeyboardNotifyMask | XkbMapNotifyMask | XkbStateNotifyMask;
    if (!XkbSelectEvents(dpy, XkbUseCoreKbd, events, events)) return 0;
    XSync(dpy, False);
    k->device = xkb_x11_get_core_keyboard_device_id(k->conn);
    k->ctx = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    if (k->device < 0 || !k->ctx || !te_read_keymap(k)) return 0;
    k->compose_table = te_xkb_compose_table(k->ctx);
    if (k->compose_table) k->compose = xkb_compose_state_new(k->compose_table, XKB_COMPOSE_STATE_NO_FLAGS);
    return 1;
}

void te_keymap_text_close(te_keymap_text* k) {
    te_free_keymap(k);
    xkb_compose_state_unref(k->compose);
    xkb_compose_table_unref(k->compose_table);
    xkb_context_unref(k->ctx);
    if (k->conn) xcb_disconnect(k->conn);
    *k = te_keymap_text();
}

int te_keymap_text_follow(te_keymap_text* k, const XEvent* ev) {
    if (!k->ctx || ev->type != k->event_base) return 0;
    const XkbEvent* xkb = reinterpret_cast<const XkbEvent*>(ev);
    if (xkb->any.xkb_type == XkbStateNotify && k->state) {
        const XkbStateNotifyEvent& s = xkb->state;
        xkb_state_update_mask(k->state, s.base_mods, s.latched_mods, s.locked_mods, (xkb_layout_index_t)s.base_group,
                              (xkb_layout_index_t)s.latched_group, (xkb_layout_index_t)s.locked_group);
    } else if (xkb->any.xkb_type == XkbNewKeyboardNotify || xkb->any.xkb_type == XkbMapNotify) {
        // Read again at the next key press, once however many changes came.
        k->stale = true;
    }
    return 1;
}

KeySym te_keymap_text_sym(te_keymap_text* k, unsigned keycode) {
    if (k->stale && !te_read_keymap(k)) return NoSymbol;
    return k->state ? xkb_state_key_get_one_sym(k->state, keycode) : NoSymbol;
}

int te_keymap_text_shortcut(const te_keymap_text* k) { return te_xkb_shortcut_held(k->state); }

int te_keymap_text_of(te_keymap_text* k, unsigned keycode, KeySym sym, char* out, int size) {
    return te_xkb_press_text(k->compose, k->state, keycode, (std::uint32_t)sym, out, size);
}

void te_keymap_text_cancel_compose(te_keymap_text* k) {
    if (k->compose) xkb_compose_state_reset(k->compose);
}
