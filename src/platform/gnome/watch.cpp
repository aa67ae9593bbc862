// Waiting for the GNOME desktop: the worker sleeps until the session bus
// has a message (a change of the clipboard's owner counts as a copy), a
// key device has records, or watch_wake() is called. The bus is read under
// its lock; another thread that reads a signal off it wakes the watch
// (remote_desktop.cpp), so nothing waits unseen in the bus's queue.
#include "evdev_reader.h"
#include "gnome_desktop.h"
#include "held_keys.h"
#include "key_queue.h"
#include "key_release.h"
#include "remote_desktop.h"
#include "session_bus.h"
#include "wake.h"

#include <sys/epoll.h>
#include <systemd/sd-bus.h>
#include <unistd.h>

namespace {

// Only the thread that opened the watch uses it.
struct te_gnome_watch {
    int what = 0;
    bool keys = false;
    te_wl_evdev_reader reader;
    te_key_queue queue;
    std::uint32_t seen_count = 0;
    int epoll_fd = -1;
    int bus_fd = -1;  // the bus's descriptor in the set
};
te_gnome_watch te_gw;

void te_set_bus_fd(te_gnome_watch& w, int fd) {
    if (fd == w.bus_fd) return;
    if (w.bus_fd >= 0) epoll_ctl(w.epoll_fd, EPOLL_CTL_DEL, w.bus_fd, nullptr);
    w.bus_fd = fd;
    if (fd < 0) return;
    epoll_event ev = {};
    ev.events = EPOLLIN;
    ev.data.fd = fd;
    epoll_ctl(w.epoll_fd, EPOLL_CTL_ADD, fd, &ev);
}

// Handles what the bus holds; the bits to report.
int te_pending_bits(te_gnome_watch& w) {
    if (w.keys) te_wl_evdev_reader_drain(&w.reader);
    int bits = w.queue.count ? TE_WATCH_KEYS : 0;
    if (!(w.what & TE_WATCH_CLIPBOARD)) return bits;
    std::lock_guard<std::mutex> hold(te_bus_lock);
    sd_bus* bus = te_bus_locked();
    if (!bus || te_gnome_session(bus, nullptr).empty() || !te_bus_process_locked(bus)) {
        te_set_bus_fd(w, -1);
        return bits;
    }
    te_set_bus_fd(w, sd_bus_get_fd(bus));
    std::uint32_t count = te_gnome_selection_count();
    if (count != w.seen_count) {
        w.seen_count = count;
        bits |= TE_WATCH_CLIPBOARD;
    }
    return bits;
}

}  // namespace

int te_gnome_watch_open(int what) {
    te_gnome_watch& w = te_gw;
    w.what = what;
    w.epoll_fd = epoll_create1(EPOLL_CLOEXEC);
    int bits = 0;
    w.reader.virtual_too = (what & TE_WATCH_SYNTHETIC_KEYS) != 0;
    if ((what & TE_WATCH_KEYS) && te_wl_evdev_reader_open(&w.reader, &w.queue, nullptr)) {
        w.keys = true;
        epoll_event ev = {};
        ev.events = EPOLLIN;
        ev.data.fd = w.reader.epoll_fd;
        epoll_ctl(w.epoll_fd, EPOLL_CTL_ADD, w.reader.epoll_fd, &ev);
        bits |= TE_WATCH_KEYS;
    } else if (what & TE_WATCH_KEYS) {
        te_wl_evdev_reader_close(&w.reader);
    }
    if (what & TE_WATCH_CLIPBOARD) {
        te_pending_bits(w);
        std::lock_guard<std::mutex> hold(te_bus_lock);
        if (te_gnome_selection_count()) bits |= TE_WATCH_CLIPBOARD;
    }
    return bits;
}

int te_gnome_watch_wait(int ms) {
    te_gnome_watch& w = te_gw;
    std::uint64_t deadline = now_millis() + (std::uint64_t)(ms > 0 ? ms : 0);
    if (!w.what || w.epoll_fd < 0) {
        te_wake_poll(-1, ms);
        return 0;
    }
    for (;;) {
        int bits = te_pending_bits(w);
        std::uint64_t now = now_millis();
        if (bits || now >= deadline) return bits;
        int woke = te_wake_poll(w.epoll_fd, (int)(deadline - now));
        if (woke == TE_WAKE_WOKEN) return te_pending_bits(w);
    }
}

int te_gnome_watch_next_key(te_key_event* out) { return te_key_queue_pop(&te_gw.queue, out); }

void te_gnome_watch_close(void) {
    te_gnome_watch& w = te_gw;
    if (w.keys) te_wl_evdev_reader_close(&w.reader);
    te_key_queue_wipe(&w.queue);
    if (w.epoll_fd >= 0) close(w.epoll_fd);
    w = te_gnome_watch();
}

// As on the other Wayland desktops, the keyboards are read, not owned:
// wait until no key is down, then read every key event there is.
int te_gnome_keys_hold_begin(void) {
    te_wait_keys_released(te_wl_any_key_held, nullptr);
    if (te_gw.keys) te_wl_evdev_reader_drain(&te_gw.reader);
    return TE_HOLD_NONE;
}

void te_gnome_keys_hold_end(void) {}
