// Connecting, binding the globals, and keeping the connection's parts
// (seat keymap, clipboard, toplevels, virtual keyboard) in step with it:
// each part starts on a new connection and forgets its objects when the
// connection is dropped.
#include "wl_connection.h"

#include "data_control.h"
#include "platform.h"
#include "seat_keymap.h"
#include "toplevels.h"
#include "virtual_keyboard.h"

#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <wayland-client.h>

#include "virtual-keyboard-unstable-v1-client.h"
#include "wlr-data-control-unstable-v1-client.h"
#include "wlr-foreign-toplevel-management-unstable-v1-client.h"

std::mutex te_wl_lock;

namespace {

const std::uint64_t TE_RETRY_MS = 1000;

struct te_wl_state {
    te_wl conn;
    bool up = false;
    int readers = 0;
    bool failed = false;
    std::uint64_t failed_at = 0;
};
te_wl_state te_state;

std::uint32_t te_min(std::uint32_t a, std::uint32_t b) { return a < b ? a : b; }

void te_on_global(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
                  std::uint32_t version) {
    te_wl* c = static_cast<te_wl*>(data);
    if (std::strcmp(interface, wl_seat_interface.name) == 0 && !c->seat) {
        c->seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, te_min(version, 5)));
    } else if (std::strcmp(interface, zwp_virtual_keyboard_manager_v1_interface.name) == 0) {
        c->keyboards = static_cast<zwp_virtual_keyboard_manager_v1*>(
            wl_registry_bind(registry, name, &zwp_virtual_keyboard_manager_v1_interface, 1));
    } else if (std::strcmp(interface, zwlr_data_control_manager_v1_interface.name) == 0) {
        c->data_control = static_cast<zwlr_data_control_manager_v1*>(
            wl_registry_bind(registry, name, &zwlr_data_control_manager_v1_interface, 1));
    } else if (std::strcmp(interface, zwlr_foreign_toplevel_manager_v1_interface.name) == 0) {
        c->toplevels = static_cast<zwlr_foreign_toplevel_manager_v1*>(wl_registry_bind(
            registry, name, &zwlr_foreign_toplevel_manager_v1_interface, te_min(version, 3)));
    }
}

void te_on_global_remove(void*, wl_registry*, std::uint32_t) {}

const wl_registry_listener te_registry_listener = {te_on_global, te_on_global_remove};

// Forgets every object of the connection and closes it; the compositor
// drops its side of them with the connection.
void te_drop(te_wl_state& s) {
    te_wl_virtual_keyboard_forget();
    te_wl_toplevels_forget();
    te_wl_data_control_forget();
    te_wl_seat_keymap_forget();
    if (s.conn.display) wl_display_disconnect(s.conn.display);
    s.conn = te_wl();
    s.up = false;
    s.failed = true;
    s.failed_at = now_millis();
}

int te_connect(te_wl_state& s) {
    const char* name = std::getenv("WAYLAND_DISPLAY");
    if (!name || !name[0]) return 0;
    s.conn.display = wl_display_connect(nullptr);
    if (!s.conn.display) return 0;
    s.conn.registry = wl_display_get_registry(s.conn.display);
    wl_registry_add_listener(s.conn.registry, &te_registry_listener, &s.conn);
    // The globals, then the first events of the objects made from them.
    if (wl_display_roundtrip(s.conn.display) < 0) return 0;
    te_wl_seat_keymap_start(&s.conn);
    te_wl_data_control_start(&s.conn);
    te_wl_toplevels_start(&s.conn);
    if (wl_display_roundtrip(s.conn.display) < 0 || wl_display_roundtrip(s.conn.display) < 0) return 0;
    s.up = true;
    return 1;
}

}  // namespace

te_wl* te_wl_connection_locked() {
    te_wl_state& s = te_state;
    if (s.up && wl_display_get_error(s.conn.display) != 0) {
        if (s.readers > 0) return nullptr;
        te_drop(s);
    }
    if (s.up) return &s.conn;
    if (s.failed && now_millis() - s.failed_at < TE_RETRY_MS) return nullptr;
    if (!te_connect(s)) {
        te_drop(s);
        return nullptr;
    }
    return &s.conn;
}

int te_wl_pump_locked(te_wl* c) {
    wl_display* d = c->display;
    while (wl_display_prepare_read(d) != 0) {
        if (wl_display_dispatch_pending(d) < 0) return 0;
    }
    wl_display_flush(d);
    struct pollfd p = {wl_display_get_fd(d), POLLIN, 0};
    if (poll(&p, 1, 0) > 0) {
        if (wl_display_read_events(d) < 0) return 0;
    } else {
        wl_display_cancel_read(d);
    }
    return wl_display_dispatch_pending(d) >= 0;
}

void te_wl_read_begin_locked() { te_state.readers++; }

void te_wl_read_end_locked() { te_state.readers--; }

int te_wl_roundtrip_locked(te_wl* c) { return wl_display_roundtrip(c->display) >= 0; }
