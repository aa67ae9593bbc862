// The Wayland desktop's one connection to the compositor, shared by every
// thread of the process, and the compositor's globals it uses.
//
// Lock rule: te_wl_lock guards the connection, every protocol object made
// on it and every record its event handlers write (the seat's keymap, the
// clipboard's offers, the toplevels, the virtual keyboard). Hold it for any
// call on the connection; the handlers run only inside dispatches made
// under it. The one step taken without it is the worker's blocking read
// (watch.cpp), between wl_display_prepare_read and wl_display_read_events,
// which libwayland keeps safe against other threads' dispatches. Never
// wait for anything but the compositor while holding it.
#ifndef TE_WL_CONNECTION_H
#define TE_WL_CONNECTION_H

#include <cstdint>
#include <mutex>

struct wl_display;
struct wl_registry;
struct wl_seat;
struct zwp_virtual_keyboard_manager_v1;
struct zwlr_data_control_manager_v1;
struct zwlr_foreign_toplevel_manager_v1;

struct te_wl {
    wl_display* display = nullptr;
    wl_registry* registry = nullptr;
    wl_seat* seat = nullptr;  // the first seat announced
    zwp_virtual_keyboard_manager_v1* keyboards = nullptr;
    zwlr_data_control_manager_v1* data_control = nullptr;
    zwlr_foreign_toplevel_manager_v1* toplevels = nullptr;
};

extern std::mutex te_wl_lock;

// With te_wl_lock held: the connection, made on first use (its globals
// bound and their first events dispatched); null when WAYLAND_DISPLAY is
// unset, the compositor cannot be reached, or the connection broke. A
// broken connection is dropped and a new one tried at most once a second.
te_wl* te_wl_connection_locked();

// With te_wl_lock held: sends what is queued and dispatches every event
// that has arrived, without waiting. 0 when the connection broke.
int te_wl_pump_locked(te_wl* c);

// With te_wl_lock held: a thread is about to read the connection without
// the lock (after wl_display_prepare_read), or is done with it (after
// wl_display_read_events or wl_display_cancel_read). A broken connection
// is not dropped while a read is under way.
void te_wl_read_begin_locked();
void te_wl_read_end_locked();

// With te_wl_lock held: waits until the compositor has handled every
// request sent so far, dispatching events. 0 when the connection broke.
int te_wl_roundtrip_locked(te_wl* c);

#endif
