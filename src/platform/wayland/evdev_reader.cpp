#include "evdev_reader.h"

#include "console.h"
#include "input_devices.h"
#include "memory_wipe.h"
#include "toplevels.h"
#include "user_keymap.h"

#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/epoll.h>
#include <sys/inotify.h>
#include <unistd.h>
#include <xkbcommon/xkbcommon.h>

namespace {

const std::size_t TE_RECORD = sizeof(input_event);

void te_watch_fd(te_wl_evdev_reader* r, int fd) {
    epoll_event ev = {};
    ev.events = EPOLLIN;
    ev.data.fd = fd;
    epoll_ctl(r->epoll_fd, EPOLL_CTL_ADD, fd, &ev);
}

void te_add_source(te_wl_evdev_reader* r, int fd, bool device, std::uint64_t id) {
    te_wl_event_source s;
    s.fd = fd;
    s.device = device;
    s.id = id;
    r->sources.push_back(s);
    te_watch_fd(r, fd);
}

// A device that is gone: its node may already hold another.
bool te_is_dead(int fd) {
    struct pollfd p = {fd, POLLIN, 0};
    return poll(&p, 1, 0) > 0 && (p.revents & (POLLERR | POLLHUP | POLLNVAL));
}

bool te_already_open(const te_wl_evdev_reader* r, std::uint64_t id) {
    for (const te_wl_event_source& s : r->sources)
        if (s.device && s.id == id && !te_is_dead(s.fd)) return true;
    return false;
}

void te_ask_keys_down(te_wl_event_source& s) {
    if (!s.device) return;
    s.down.reset();
    for (int code : te_wl_devices().keys_down(s.fd))
        if (code >= 0 && code < KEY_CNT) s.down.set((std::size_t)code);
}

// Opens the devices not open yet; how many keyboards are read afterwards.
int te_open_new_devices(te_wl_evdev_reader* r) {
    int keyboards = 0;
    int kinds = TE_WL_KEYBOARD | TE_WL_POINTER | (r->virtual_too ? TE_WL_VIRTUAL : 0);
    for (const te_wl_device& d : te_wl_devices().open_devices(kinds, nullptr)) {
        if (te_already_open(r, d.id)) {
            close(d.fd);
        } else {
            te_add_source(r, d.fd, true, d.id);
            te_ask_keys_down(r->sources.back());
            if (d.kinds & TE_WL_KEYBOARD) keyboards++;
        }
    }
    return keyboards;
}

// The keyboard state made again from the keys the sources hold and the
// lights of the first device that has a Caps Lock light.
void te_restate(te_wl_evdev_reader* r) {
    std::bitset<KEY_CNT> down;
    int caps = -1, num = -1;
    for (const te_wl_event_source& s : r->sources) {
        down |= s.down;
        if (caps < 0 && s.device) {
            caps = te_wl_devices().light(s.fd, LED_CAPSL);
            if (caps >= 0) num = te_wl_devices().light(s.fd, LED_NUML);
        }
    }
    te_wl_translator_restate(&r->translator, down, caps, num);
}

void te_follow_keymap(te_wl_evdev_reader* r) {
    if (!r->follow_seat || te_wl_user_keymap_version() == r->keymap_version) return;
    xkb_keymap* k = te_wl_user_keymap_if_changed(r->ctx, &r->keymap_version);
    if (k) te_wl_translator_set_keymap(&r->translator, k);
}

// A press of a physical key: the compositor switches to its keyboard's
// keymap (another program's virtual keyboard may have typed meanwhile),
// and the press is read with it.
void te_follow_press(te_wl_evdev_reader* r) {
    if (!r->follow_seat) return;
    te_wl_user_keymap_after_press();
    te_follow_keymap(r);
}

// A key pressed in another program than the last one: start afresh.
void te_follow_front(te_wl_evdev_reader* r) {
    unsigned serial = te_wl_front_serial();
    if (serial == r->front_serial) return;
    r->front_serial = serial;
    te_key_queue_push(r->translator.queue, TE_KEY_RESET, nullptr);
}

// One record. After SYN_DROPPED the kernel's buffer overflowed: what came
// until the next SYN_REPORT is incomplete and is skipped, and then the
// device is asked which keys it holds.
void te_take_record(te_wl_evdev_reader* r, te_wl_event_source& s, const input_event& ev) {
    if (ev.type == EV_SYN && ev.code == SYN_DROPPED) {
        r->key_changes++;
        s.dropping = true;
        te_wl_translator_lost(&r->translator);
        return;
    }
    if (s.dropping) {
        if (ev.type != EV_SYN || ev.code != SYN_REPORT) return;
        s.dropping = false;
        te_ask_keys_down(s);
        te_restate(r);
        return;
    }
    if (ev.type != EV_KEY || ev.code >= KEY_CNT) return;
    if (ev.value == 1) te_follow_press(r);
    if (ev.value == 1) te_follow_front(r);
    if (ev.value != 2) {
        s.down.set(ev.code, ev.value == 1);
        r->key_changes++;
    }
    if (te_wl_keys_reach_session()) te_wl_translator_key(&r->translator, ev.code, ev.value);
    else te_wl_translator_key_unseen(&r->translator, ev.code, ev.value);
}

// Reads what the source holds; 0 when it is gone (unplugged, closed).
int te_read_source(te_wl_evdev_reader* r, te_wl_event_source& s) {
    unsigned char buf[TE_RECORD * 64];
    int alive = 1;
    for (;;) {
        std::memcpy(buf, &s.pending, s.have);
        ssize_t n = read(s.fd, buf + s.have, sizeof buf - s.have);
        if (n <= 0) {
            alive = n < 0 && (errno == EAGAIN || errno == EINTR);
            break;
        }
        std::size_t total = s.have + (std::size_t)n, whole = total / TE_RECORD;
        for (std::size_t i = 0; i < whole; i++) {
            input_event ev;
            std::memcpy(&ev, buf + i * TE_RECORD, TE_RECORD);
            te_take_record(r, s, ev);
        }
        s.have = total - whole * TE_RECORD;
        std::memcpy(&s.pending, buf + whole * TE_RECORD, s.have);
    }
    te_wipe(buf, sizeof buf);
    return alive;
}

// A device gone: the keys it held are up, the others and the locks stay.
void te_drop_source(te_wl_evdev_reader* r, std::size_t i) {
    close(r->sources[i].fd);
    te_wipe(&r->sources[i].pending, sizeof r->sources[i].pending);
    r->sources.erase(r->sources.begin() + (long)i);
    te_wl_translator_lost(&r->translator);
    te_restate(r);
}

// A node appeared or changed its permissions in the device folder.
void te_take_folder_change(te_wl_evdev_reader* r) {
    if (r->notify_fd < 0) return;
    char buf[4096];
    bool changed = false;
    while (read(r->notify_fd, buf, sizeof buf) > 0) changed = true;
    if (changed) te_open_new_devices(r);
}

}  // namespace

int te_wl_evdev_reader_open(te_wl_evdev_reader* r, te_key_queue* queue, xkb_keymap* keymap) {
    r->ctx = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    r->epoll_fd = epoll_create1(EPOLL_CLOEXEC);
    r->keymap_version = TE_WL_KEYMAP_NONE;
    r->front_serial = te_wl_front_serial();
    r->follow_seat = keymap == nullptr;
    if (!keymap && r->ctx) keymap = te_wl_user_keymap_if_changed(r->ctx, &r->keymap_version);
    if (!r->ctx || r->epoll_fd < 0 || !te_wl_translator_open(&r->translator, r->ctx, keymap, queue)) return 0;
    r->notify_fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    bool watched = r->notify_fd >= 0 && inotify_add_watch(r->notify_fd, te_wl_input_dir, IN_CREATE | IN_ATTRIB) >= 0;
    if (r->notify_fd >= 0) te_watch_fd(r, r->notify_fd);
    int keyboards = te_open_new_devices(r);
    te_restate(r);
    return keyboards > 0 || watched;
}

void te_wl_evdev_reader_add_stream(te_wl_evdev_reader* r, int fd) { te_add_source(r, fd, false, 0); }

// The devices gone are dropped before new ones are opened: a device
// plugged in again may come back on the node it had.
void te_wl_evdev_reader_drain(te_wl_evdev_reader* r) {
    te_follow_keymap(r);
    for (std::size_t i = 0; i < r->sources.size();) {
        if (te_read_source(r, r->sources[i])) i++;
        else te_drop_source(r, i);
    }
    te_take_folder_change(r);
}

void te_wl_evdev_reader_close(te_wl_evdev_reader* r) {
    while (!r->sources.empty()) {
        close(r->sources.back().fd);
        te_wipe(&r->sources.back().pending, sizeof r->sources.back().pending);
        r->sources.pop_back();
    }
    if (r->notify_fd >= 0) close(r->notify_fd);
    if (r->epoll_fd >= 0) close(r->epoll_fd);
    te_wl_translator_close(&r->translator);
    xkb_context_unref(r->ctx);
    *r = te_wl_evdev_reader();
}
