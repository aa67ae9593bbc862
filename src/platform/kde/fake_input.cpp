#include "fake_input.h"

#include <cerrno>
#include <cstring>
#include <mutex>
#include <poll.h>
#include <wayland-client.h>

#include "fake-input-client.h"

namespace {

const std::size_t TE_BATCH_EVENTS = 128;
const std::uint32_t TE_PRESSED = 1, TE_RELEASED = 0;

// Guards te_fi and every request on its connection.
std::mutex te_fi_lock;

struct te_fake_input {
    wl_display* display = nullptr;
    org_kde_kwin_fake_input* input = nullptr;
};
te_fake_input te_fi;

void te_on_global(void* data, wl_registry* registry, std::uint32_t name, const char* interface, std::uint32_t version) {
    te_fake_input* f = static_cast<te_fake_input*>(data);
    if (std::strcmp(interface, org_kde_kwin_fake_input_interface.name) != 0 || version < 4) return;
    f->input = static_cast<org_kde_kwin_fake_input*>(
        wl_registry_bind(registry, name, &org_kde_kwin_fake_input_interface, 4));
}
void te_on_global_remove(void*, wl_registry*, std::uint32_t) {}
const wl_registry_listener te_registry_listener = {te_on_global, te_on_global_remove};

void te_drop(te_fake_input& f) {
    if (f.display) wl_display_disconnect(f.display);
    f = te_fake_input();
}

// With te_fi_lock held: the connection, made on first use or again after
// it broke; null when no compositor answers.
te_fake_input* te_connection() {
    te_fake_input& f = te_fi;
    if (f.display && wl_display_get_error(f.display) != 0) te_drop(f);
    if (f.display) return &f;
    f.display = wl_display_connect(nullptr);
    if (!f.display) return nullptr;
    wl_registry* registry = wl_display_get_registry(f.display);
    wl_registry_add_listener(registry, &te_registry_listener, &f);
    if (wl_display_roundtrip(f.display) < 0) {
        te_drop(f);
        return nullptr;
    }
    if (f.input) org_kde_kwin_fake_input_authenticate(f.input, "velmora-textexpander", "types your snippets");
    return &f;
}

int te_flush(wl_display* d) {
    for (;;) {
        if (wl_display_flush(d) >= 0) return 1;
        if (errno != EAGAIN) return 0;
        struct pollfd p = {wl_display_get_fd(d), POLLOUT, 0};
        poll(&p, 1, 100);
    }
}

}  // namespace

int te_kde_fake_input_offered() {
    std::lock_guard<std::mutex> hold(te_fi_lock);
    te_fake_input* f = te_connection();
    if (!f) return -1;
    return f->input ? 1 : 0;
}

int te_kde_fake_input_keys(const std::vector<te_kde_key>& keys) {
    std::lock_guard<std::mutex> hold(te_fi_lock);
    te_fake_input* f = te_connection();
    if (!f || !f->input) return 0;
    for (std::size_t i = 0; i < keys.size(); i++) {
        org_kde_kwin_fake_input_keyboard_key(f->input, (std::uint32_t)keys[i].code,
                                             keys[i].pressed ? TE_PRESSED : TE_RELEASED);
        bool batch_end = (i + 1) % TE_BATCH_EVENTS == 0 || i + 1 == keys.size();
        if (batch_end && (!te_flush(f->display) || wl_display_roundtrip(f->display) < 0)) return 0;
    }
    return 1;
}
