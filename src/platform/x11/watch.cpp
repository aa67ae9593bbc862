// The worker's watch on X11: its own connection (the worker thread's) and
// an eventfd that watch_wake writes, waited on together with poll().
#include "key_listener.h"
#include "key_queue.h"
#include "platform.h"
#include "x11_display.h"

#include <cstdint>
#include <mutex>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace {

// The watch of the worker thread; only that thread touches it.
struct te_watch {
    int what = 0;              // the TE_WATCH_* bits asked for
    unsigned connection = 0;   // the connection the listener was opened on
    te_key_listener keys;
    te_key_queue queue;
};
te_watch te_the_watch;

// te_wake_lock guards te_wake_fd, so that a wake never writes to a
// descriptor the worker has closed meanwhile.
std::mutex te_wake_lock;
int te_wake_fd = -1;

// A listener whose connection broke is closed, and opened again on the next
// connection once the display can be reached.
void te_keep_listener(te_watch& w) {
    if (!(w.what & TE_WATCH_KEYS)) return;
    if (w.keys.dpy && (te_x11_lost() || te_x11_connection_id() != w.connection)) {
        w.keys.dpy = nullptr;  // the connection is gone with its resources
        te_key_listener_close(&w.keys);
        te_key_queue_push(&w.queue, TE_KEY_RESET, nullptr);
    }
    if (w.keys.dpy) return;
    Display* dpy = te_x11_display();
    if (dpy && te_key_listener_open(&w.keys, dpy, &w.queue)) w.connection = te_x11_connection_id();
}

// Hands every event the connection has to the listener.
void te_drain(te_watch& w) {
    Display* dpy = w.keys.dpy;
    if (!dpy) return;
    while (!te_x11_lost() && XPending(dpy)) {
        XEvent ev;
        XNextEvent(dpy, &ev);
        te_key_listener_take(&w.keys, &ev);
    }
}

void te_sleep_on(Display* dpy, int ms) {
    struct pollfd fds[2] = {{-1, POLLIN, 0}, {-1, POLLIN, 0}};
    {
        std::lock_guard<std::mutex> g(te_wake_lock);
        fds[0].fd = te_wake_fd;
    }
    if (dpy) fds[1].fd = ConnectionNumber(dpy);
    if (poll(fds, 2, ms) > 0 && (fds[0].revents & POLLIN)) {
        std::uint64_t count;
        if (read(fds[0].fd, &count, sizeof count) < 0) count = 0;
    }
}

int te_pending_bits(const te_watch& w) { return w.queue.count ? TE_WATCH_KEYS : 0; }

}  // namespace

int watch_open(int what) {
    te_watch& w = te_the_watch;
    {
        std::lock_guard<std::mutex> g(te_wake_lock);
        if (te_wake_fd < 0) te_wake_fd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    }
    w.what = what & TE_WATCH_KEYS;
    te_keep_listener(w);
    if (!w.keys.dpy) w.what = 0;
    return w.what;
}

int watch_wait(int ms) {
    te_watch& w = te_the_watch;
    te_keep_listener(w);
    te_drain(w);
    if (!w.queue.count) {
        te_sleep_on(w.keys.dpy, ms);
        te_drain(w);
    }
    return te_pending_bits(w);
}

void watch_wake(void) {
    std::lock_guard<std::mutex> g(te_wake_lock);
    std::uint64_t one = 1;
    if (te_wake_fd >= 0 && write(te_wake_fd, &one, sizeof one) < 0) return;
}

int watch_next_key(te_key_event* out) { return te_key_queue_pop(&te_the_watch.queue, out); }

void watch_close(void) {
    te_watch& w = te_the_watch;
    if (w.keys.dpy) te_key_listener_close(&w.keys);
    te_key_queue_wipe(&w.queue);
    w.what = 0;
    std::lock_guard<std::mutex> g(te_wake_lock);
    if (te_wake_fd >= 0) close(te_wake_fd);
    te_wake_fd = -1;
}
