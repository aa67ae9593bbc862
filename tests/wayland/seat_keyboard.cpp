// Stands in for the physical keyboard a headless compositor lacks: a
// virtual keyboard with the US layout, held for as long as this program
// runs. Programs started afterwards find a keyboard on the seat from the
// start, as on a real desktop, and every client is handed its keymap.
#include "virtual-keyboard-unstable-v1-client.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

namespace {

wl_seat* seat = nullptr;
zwp_virtual_keyboard_manager_v1* manager = nullptr;

void on_global(void*, wl_registry* r, uint32_t name, const char* iface, uint32_t) {
    if (!std::strcmp(iface, wl_seat_interface.name) && !seat)
        seat = static_cast<wl_seat*>(wl_registry_bind(r, name, &wl_seat_interface, 1));
    if (!std::strcmp(iface, zwp_virtual_keyboard_manager_v1_interface.name))
        manager = static_cast<zwp_virtual_keyboard_manager_v1*>(
            wl_registry_bind(r, name, &zwp_virtual_keyboard_manager_v1_interface, 1));
}
void on_remove(void*, wl_registry*, uint32_t) {}
const wl_registry_listener listener = {on_global, on_remove};

std::string us_keymap() {
    xkb_context* ctx = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    xkb_rule_names names = {nullptr, nullptr, "us", nullptr, nullptr};
    xkb_keymap* k = xkb_keymap_new_from_names(ctx, &names, XKB_KEYMAP_COMPILE_NO_FLAGS);
    char* text = k ? xkb_keymap_get_as_string(k, XKB_KEYMAP_FORMAT_TEXT_V1) : nullptr;
    std::string out = text ? text : "";
    free(text);
    xkb_keymap_unref(k);
    xkb_context_unref(ctx);
    return out;
}

}  // namespace

int main() {
    wl_display* d = wl_display_connect(nullptr);
    if (!d) return 1;
    wl_registry_add_listener(wl_display_get_registry(d), &listener, nullptr);
    wl_display_roundtrip(d);
    std::string keymap = us_keymap();
    if (!seat || !manager || keymap.empty()) return 1;
    zwp_virtual_keyboard_v1* kb = zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(manager, seat);
    int fd = memfd_create("seat-keymap", MFD_CLOEXEC);
    if (fd < 0 || write(fd, keymap.c_str(), keymap.size() + 1) != (ssize_t)(keymap.size() + 1)) return 1;
    zwp_virtual_keyboard_v1_keymap(kb, WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, fd, (uint32_t)(keymap.size() + 1));
    wl_display_roundtrip(d);
    std::puts("ready");
    std::fflush(stdout);
    while (wl_display_dispatch(d) >= 0) {
    }
    return 0;
}
