#include "seat_keymap.h"

#include "engine_keymap.h"
#include "wl_connection.h"

#include <atomic>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

namespace {

struct te_seat_keymap {
    wl_keyboard* keyboard = nullptr;
    std::string text;
    std::atomic<unsigned> version{0};
};
te_seat_keymap te_seat;

void te_take_keymap(std::uint32_t format, int fd, std::uint32_t size) {
    if (format != WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1 || size == 0) return;
    void* map = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
    if (map == MAP_FAILED) return;
    std::string text(static_cast<const char*>(map), size);
    munmap(map, size);
    if (!text.empty() && text.back() == 0) text.pop_back();
    if (te_wl_is_engine_keymap(text) || text == te_seat.text) return;
    te_seat.text = text;
    te_seat.version++;
}

void te_on_keymap(void*, wl_keyboard*, std::uint32_t format, int fd, std::uint32_t size) {
    te_take_keymap(format, fd, size);
    close(fd);
}
void te_on_enter(void*, wl_keyboard*, std::uint32_t, wl_surface*, wl_array*) {}
void te_on_leave(void*, wl_keyboard*, std::uint32_t, wl_surface*) {}
void te_on_key(void*, wl_keyboard*, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t) {}
void te_on_modifiers(void*, wl_keyboard*, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t,
                     std::uint32_t) {}
void te_on_repeat(void*, wl_keyboard*, std::int32_t, std::int32_t) {}

const wl_keyboard_listener te_keyboard_listener = {te_on_keymap, te_on_enter,     te_on_leave,
                                                   te_on_key,    te_on_modifiers, te_on_repeat};

void te_on_capabilities(void*, wl_seat* seat, std::uint32_t caps) {
    bool has = caps & WL_SEAT_CAPABILITY_KEYBOARD;
    if (has && !te_seat.keyboard) {
        te_seat.keyboard = wl_seat_get_keyboard(seat);
        wl_keyboard_add_listener(te_seat.keyboard, &te_keyboard_listener, nullptr);
    } else if (!has && te_seat.keyboard) {
        wl_keyboard_destroy(te_seat.keyboard);
        te_seat.keyboard = nullptr;
    }
}
void te_on_name(void*, wl_seat*, const char*) {}

const wl_seat_listener te_seat_listener = {te_on_capabilities, te_on_name};

}  // namespace

void te_wl_seat_keymap_start(te_wl* c) {
    if (c->seat) wl_seat_add_listener(c->seat, &te_seat_listener, nullptr);
}

void te_wl_seat_keymap_forget() {
    te_wl_free(te_seat.keyboard);
    te_seat.keyboard = nullptr;
}

std::string te_wl_seat_keymap_text(unsigned* version) {
    *version = te_seat.version.load();
    return te_seat.text;
}

int te_wl_seat_has_keyboard() { return te_seat.keyboard != nullptr; }

unsigned te_wl_seat_keymap_version() { return te_seat.version.load(); }
