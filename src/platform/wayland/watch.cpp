// Waiting for the Wayland desktop. The worker sleeps until the compositor
// sends something (a selection event counts as a clipboard change), a key
// device has records, the connection was given up or made again, or
// watch_wake() is called: the connection, the connection's news and the
// key reader are gathered in one epoll set, polled beside the wake-up
// pipe. The connection is read in libwayland's way for threads that share
// one: prepare, poll without the lock, then read (or cancel), dispatch.
// While there is no connection, a new one is tried about once a second.
#include "data_control.h"
#include "evdev_reader.h"
#include "held_keys.h"
#include "key_queue.h"
#include "key_release.h"
#include "platform.h"
#include "wake.h"
#include "wl_connection.h"
#include "wl_desktop.h"

#include <poll.h>
#include <sys/epoll.h>
#include <unistd.h>
#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

namespace {

// How long one sleep lasts at most while there is no connection to watch,
// and at most ever (a wait without limit sleeps again after it).
const int TE_RECONNECT_MS = 1000;
const int TE_LONGEST_SLEEP_MS = 3600 * 1000;

// Only the thread that opened the watch uses it.
struct te_wl_watch {
    int what = 0;
    bool keys = false;
    te_wl_evdev_reader reader;
    te_key_queue queue;
    std::uint32_t seen_count = 0;  // the selection count last reported
    unsigned seen_key_changes = 0;  // the reader's count last reported
    int epoll_fd = -1;
    int display_fd = -1;           // the descriptor in the set, of the
    unsigned display_generation = 0;  // connection of this generation
};
te_wl_watch te_w;

void te_epoll_add(int epoll_fd, int fd) {
    epoll_event ev = {};
    ev.events = EPOLLIN;
    ev.data.fd = fd;
    epoll_ctl(epoll_fd, EPOLL_CTL_ADD, fd, &ev);
}

// Puts the descriptor of the connection `c` (null: none) in the set. A new
// connection may have the number of the one before it: the generation
// tells them apart.
void te_follow_connection(te_wl_watch& w, const te_wl* c) {
    if (c && w.display_fd >= 0 && c->generation == w.display_generation) return;
    if (w.display_fd >= 0) epoll_ctl(w.epoll_fd, EPOLL_CTL_DEL, w.display_fd, nullptr);
    w.display_fd = c ? wl_display_get_fd(c->display) : -1;
    w.display_generation = c ? c->generation : 0;
    if (c) te_epoll_add(w.epoll_fd, w.display_fd);
}

// The bits of the keys read: TE_WATCH_KEYS while key events wait in the
// queue, TE_WATCH_KEY_STATES when a key went down or up since the last
// report. What keys type is kept only for a key watch.
int te_key_bits(te_wl_watch& w) {
    int bits = 0;
    if ((w.what & TE_WATCH_KEYS) && w.queue.count) bits |= TE_WATCH_KEYS;
    if (!(w.what & TE_WATCH_KEYS) && w.queue.count) te_key_queue_wipe(&w.queue);
    if ((w.what & TE_WATCH_KEY_STATES) && w.reader.key_changes != w.seen_key_changes) bits |= TE_WATCH_KEY_STATES;
    w.seen_key_changes = w.reader.key_changes;
    return bits;
}

// With te_wl_lock held: the clipboard bit when the selection changed since
// it was last reported.
int te_clipboard_bit(te_wl_watch& w) {
    if (!(w.what & TE_WATCH_CLIPBOARD)) return 0;
    std::uint32_t count = te_wl_selection_count();
    if (count == w.seen_count) return 0;
    w.seen_count = count;
    return TE_WATCH_CLIPBOARD;
}

struct te_read {
    te_wl* c = nullptr;  // set while a read is prepared
    int bits = 0;
};

// Dispatches what has arrived and, when nothing is to be reported,
// prepares a read of the connection.
te_read te_prepare(te_wl_watch& w) {
    te_read r;
    te_wl_connection_news_take();
    std::lock_guard<std::mutex> hold(te_wl_lock);
    te_wl* c = te_wl_connection_locked();
    te_follow_connection(w, c);
    if (!c) {
        r.bits = te_key_bits(w);
        return r;
    }
    wl_display* d = c->display;
    while (wl_display_prepare_read(d) != 0) {
        if (wl_display_dispatch_pending(d) < 0) return r;
    }
    r.bits = te_clipboard_bit(w) | te_key_bits(w);
    if (r.bits) {
        wl_display_cancel_read(d);
        return r;
    }
    wl_display_flush(d);
    te_wl_read_begin_locked();
    r.c = c;
    return r;
}

// Reads what the connection holds (or gives up the prepared read), then
// dispatches it under the lock.
void te_finish(te_wl_watch& w, te_read& r) {
    if (!r.c) return;
    wl_display* d = r.c->display;
    struct pollfd p = {wl_display_get_fd(d), POLLIN, 0};
    if (poll(&p, 1, 0) > 0) wl_display_read_events(d);
    else wl_display_cancel_read(d);
    std::lock_guard<std::mutex> hold(te_wl_lock);
    te_wl_read_end_locked();
    if (wl_display_get_error(d) == 0) wl_display_dispatch_pending(d);
    r.c = nullptr;
}

// The key watch reads the keyboards with the user's keymap; the watch of
// the keys' states, for the hotkey, only counts their changes on the
// keyboards the key states are asked of (the physical ones), with a
// keymap of its own.
bool te_open_reader(te_wl_watch& w) {
    w.reader.virtual_too = (w.what & TE_WATCH_KEYS) && (w.what & TE_WATCH_SYNTHETIC_KEYS);
    if (w.what & TE_WATCH_KEYS) return te_wl_evdev_reader_open(&w.reader, &w.queue, nullptr);
    xkb_context* ctx = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    xkb_keymap* keymap = ctx ? xkb_keymap_new_from_names(ctx, nullptr, XKB_KEYMAP_COMPILE_NO_FLAGS) : nullptr;
    xkb_context_unref(ctx);
    return keymap && te_wl_evdev_reader_open(&w.reader, &w.queue, keymap);
}

int te_pending_bits(te_wl_watch& w) {
    if (w.keys) te_wl_evdev_reader_drain(&w.reader);
    std::lock_guard<std::mutex> hold(te_wl_lock);
    return te_clipboard_bit(w) | te_key_bits(w);
}

}  // namespace

int te_wl_watch_open(int what) {
    te_wl_watch& w = te_w;
    w.what = what;
    w.epoll_fd = epoll_create1(EPOLL_CLOEXEC);
    if (te_wl_connection_news_fd() >= 0) te_epoll_add(w.epoll_fd, te_wl_connection_news_fd());
    int bits = 0;
    int reads = what & (TE_WATCH_KEYS | TE_WATCH_KEY_STATES);
    if (reads && te_open_reader(w)) {
        w.keys = true;
        te_epoll_add(w.epoll_fd, w.reader.epoll_fd);
        bits |= reads;
    } else if (reads) {
        te_wl_evdev_reader_close(&w.reader);
    }
    if (what & TE_WATCH_CLIPBOARD) {
        std::lock_guard<std::mutex> hold(te_wl_lock);
        te_wl* c = te_wl_connection_locked();
        if (c) te_wl_pump_locked(c);
        w.seen_count = te_wl_selection_count();
        if (w.seen_count) bits |= TE_WATCH_CLIPBOARD;
    }
    return bits;
}

// TE_WAIT_FOREVER (or a negative ms): no time limit.
int te_wl_watch_wait(int ms) {
    te_wl_watch& w = te_w;
    bool forever = ms < 0 || ms == TE_WAIT_FOREVER;
    std::uint64_t deadline = forever ? UINT64_MAX : now_millis() + (std::uint64_t)ms;
    if (!w.what || w.epoll_fd < 0) {
        te_wake_poll(-1, forever ? TE_LONGEST_SLEEP_MS : ms);
        return 0;
    }
    for (;;) {
        if (w.keys) te_wl_evdev_reader_drain(&w.reader);
        te_read r = te_prepare(w);
        std::uint64_t now = now_millis();
        if (r.bits || now >= deadline) {
            te_finish(w, r);
            return r.bits;
        }
        int wait = deadline - now < (std::uint64_t)TE_LONGEST_SLEEP_MS ? (int)(deadline - now) : TE_LONGEST_SLEEP_MS;
        if (!r.c && wait > TE_RECONNECT_MS) wait = TE_RECONNECT_MS;
        int woke = te_wake_poll(w.epoll_fd, wait);
        te_finish(w, r);
        if (woke == TE_WAKE_WOKEN) return te_pending_bits(w);
    }
}

int te_wl_watch_next_key(te_key_event* out) { return te_key_queue_pop(&te_w.queue, out); }

void te_wl_watch_close(void) {
    te_wl_watch& w = te_w;
    if (w.keys) te_wl_evdev_reader_close(&w.reader);
    te_key_queue_wipe(&w.queue);
    if (w.epoll_fd >= 0) close(w.epoll_fd);
    w.what = 0;
    w.keys = false;
    w.seen_key_changes = 0;
    w.epoll_fd = -1;
    w.display_fd = -1;
    w.display_generation = 0;
}

// The keyboards are read, not owned, so nothing is held back from the
// compositor. (Taking them with EVIOCGRAB would not do: a key down at the
// grab would have its release kept from the compositor and repeat in the
// window, and keys replayed through a virtual keyboard carry modifiers of
// their own.) What can be done: wait, briefly, until no key is down, then
// read every key event there is. The engine then erases and types again
// exactly what reached the window, and the typing starts at once; only a
// key pressed during the milliseconds it takes can land among it.
int te_wl_keys_hold_begin(void) {
    te_wait_keys_released(te_wl_any_key_held, nullptr);
    if (te_w.keys) te_wl_evdev_reader_drain(&te_w.reader);
    return TE_HOLD_NONE;
}

void te_wl_keys_hold_end(void) {}
