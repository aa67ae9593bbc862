// Connecting, binding the globals, and keeping the connection's parts
// (seat keymap, clipboard, toplevels, virtual keyboard) in step with it:
// each part starts on a new connection and forgets its objects when the
// connection is dropped. A connection is dropped once it broke, or once the
// compositor left a round trip unanswered too long, and no thread is
// reading it.
#include "wl_connection.h"

#include "data_control.h"
#include "platform.h"
#include "seat_keymap.h"
#include "toplevels.h"
#include "virtual_keyboard.h"

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <string>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
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
    bool connecting = false;  // a thread makes it, the lock let go while it waits
    bool given_up = false;    // the compositor did not answer in time
    int readers = 0;
    bool failed = false;
    std::uint64_t failed_at = 0;
    unsigned generations = 0;
};
te_wl_state te_state;
// Signalled when a thread is done making the connection.
std::condition_variable_any te_made;

std::uint32_t te_min(std::uint32_t a, std::uint32_t b) { return a < b ? a : b; }

int te_news() {
    static const int fd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    return fd;
}

void te_news_send() {
    std::uint64_t one = 1;
    if (te_news() >= 0 && write(te_news(), &one, sizeof one) < 0) {
        // The counter is full: news is pending anyway.
    }
}

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

void te_on_done(void* data, wl_callback* cb, std::uint32_t) {
    *static_cast<bool*>(data) = true;
    wl_callback_destroy(cb);
}

const wl_callback_listener te_done_listener = {te_on_done};

// With te_wl_lock held, let go while polling: dispatches the connection's
// events until *done (never when null) or the deadline. 1 done, 0 the
// connection broke, -1 the time ran out.
int te_wait(wl_display* d, const bool* done, std::uint64_t deadline) {
    for (;;) {
        while (wl_display_prepare_read(d) != 0)
            if (wl_display_dispatch_pending(d) < 0) return 0;
        int flushed = wl_display_flush(d);
        std::uint64_t now = now_millis();
        if ((done && *done) || (flushed < 0 && errno != EAGAIN) || now >= deadline) {
            wl_display_cancel_read(d);
            return done && *done ? 1 : now >= deadline ? -1 : 0;
        }
        te_state.readers++;
        te_wl_lock.unlock();
        struct pollfd p = {wl_display_get_fd(d), (short)(POLLIN | (flushed < 0 ? POLLOUT : 0)), 0};
        bool readable = poll(&p, 1, (int)(deadline - now)) > 0 && (p.revents & (POLLIN | POLLHUP | POLLERR));
        int read = readable ? wl_display_read_events(d) : 0;
        if (!readable) wl_display_cancel_read(d);
        te_wl_lock.lock();
        te_state.readers--;
        if (read < 0 || wl_display_dispatch_pending(d) < 0) return 0;
    }
}

// A round trip that ends by the deadline: as te_wait.
int te_roundtrip(wl_display* d, std::uint64_t deadline) {
    bool done = false;
    wl_callback* cb = wl_display_sync(d);
    wl_callback_add_listener(cb, &te_done_listener, &done);
    int r = te_wait(d, &done, deadline);
    if (r != 1) wl_callback_destroy(cb);
    return r;
}

// Frees every object of the connection and closes it; the compositor
// drops its side of them with the connection.
void te_drop(te_wl_state& s) {
    te_wl_virtual_keyboard_forget();
    te_wl_toplevels_forget();
    te_wl_data_control_forget();
    te_wl_seat_keymap_forget();
    for (void* global : {(void*)s.conn.keyboards, (void*)s.conn.data_control, (void*)s.conn.toplevels,
                         (void*)s.conn.seat, (void*)s.conn.registry})
        te_wl_free(global);
    if (s.conn.display) wl_display_disconnect(s.conn.display);
    s.conn = te_wl();
    s.up = false;
    s.given_up = false;
    s.failed = true;
    s.failed_at = now_millis();
    te_news_send();
}

// The compositor's socket, connected without waiting: a compositor that
// takes no more connections is not waited for.
int te_socket(const char* name) {
    const char* dir = std::getenv("XDG_RUNTIME_DIR");
    std::string path = name[0] == '/' ? std::string(name) : std::string(dir ? dir : "") + "/" + name;
    sockaddr_un addr = {};
    addr.sun_family = AF_UNIX;
    if ((name[0] != '/' && !dir) || path.size() >= sizeof addr.sun_path) return -1;
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd >= 0 && connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        close(fd);
        fd = -1;
    }
    return fd;
}

int te_connect(te_wl_state& s) {
    const char* name = std::getenv("WAYLAND_DISPLAY");
    if (!name || !name[0]) return 0;
    int fd = te_socket(name);
    if (fd < 0) return 0;
    s.conn.display = wl_display_connect_to_fd(fd);
    if (!s.conn.display) return 0;
    s.conn.registry = wl_display_get_registry(s.conn.display);
    wl_registry_add_listener(s.conn.registry, &te_registry_listener, &s.conn);
    // The globals, then the first events of the objects made from them,
    // then those of the objects these make (the seat's keyboard).
    std::uint64_t deadline = now_millis() + TE_WL_ANSWER_MS;
    if (te_roundtrip(s.conn.display, deadline) != 1) return 0;
    te_wl_seat_keymap_start(&s.conn);
    te_wl_data_control_start(&s.conn);
    te_wl_toplevels_start(&s.conn);
    return te_roundtrip(s.conn.display, deadline) == 1 && te_roundtrip(s.conn.display, deadline) == 1;
}

}  // namespace

te_wl* te_wl_connection_locked() {
    te_wl_state& s = te_state;
    auto made = std::chrono::milliseconds(2 * TE_WL_ANSWER_MS);
    if (s.connecting && !te_made.wait_for(te_wl_lock, made, [&s] { return !s.connecting; })) return nullptr;
    if (s.up && (s.given_up || wl_display_get_error(s.conn.display) != 0)) {
        if (s.readers > 0) return nullptr;
        te_drop(s);
    }
    if (s.up) return &s.conn;
    if (s.failed && now_millis() - s.failed_at < TE_RETRY_MS) return nullptr;
    s.connecting = true;
    bool made_one = te_connect(s);
    s.connecting = false;
    if (made_one) {
        s.up = true;
        s.conn.generation = ++s.generations;
        te_news_send();
    } else {
        te_drop(s);
    }
    te_made.notify_all();
    return made_one ? &s.conn : nullptr;
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

int te_wl_sync(te_wl* c) {
    if (te_roundtrip(c->display, now_millis() + TE_WL_ANSWER_MS) == 1) return 1;
    te_state.given_up = true;
    te_news_send();
    return 0;
}

int te_wl_pause(te_wl* c, int ms) { return te_wait(c->display, nullptr, now_millis() + (std::uint64_t)ms) != 0; }

void te_wl_free(void* object) {
    if (object) wl_proxy_destroy(static_cast<wl_proxy*>(object));
}

int te_wl_connection_news_fd() { return te_news(); }

void te_wl_connection_news_take() {
    std::uint64_t count;
    if (te_news() >= 0 && read(te_news(), &count, sizeof count) < 0) {
        // Nothing was pending.
    }
}
