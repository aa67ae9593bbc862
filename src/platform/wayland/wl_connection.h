// The Wayland desktop's one connection to the compositor, shared by every
// thread of the process, and the compositor's globals it uses.
//
// Lock rule: te_wl_lock guards the connection, every protocol object made
// on it and every record its event handlers write (the seat's keymap, the
// clipboard's offers, the toplevels, the virtual keyboard). Hold it for any
// call on the connection; the handlers run only inside dispatches made
// under it. No thread waits on the compositor while holding it: the waits
// here (te_wl_sync, te_wl_pause, making a connection) let it go while they
// poll, in libwayland's way for threads that share a connection (prepare
// the read, poll, read or cancel, then dispatch under the lock), and the
// worker's wait does the same (watch.cpp). Every such wait is bounded: a
// compositor that stops answering has its connection given up, and a new
// one is tried later.
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
    unsigned generation = 0;  // tells this connection from the ones before it
};

extern std::mutex te_wl_lock;

// The longest the compositor may take to answer before its connection is
// given up.
enum { TE_WL_ANSWER_MS = 2000 };

// With te_wl_lock held: the connection, made on first use (its globals
// bound and their first events dispatched); null when WAYLAND_DISPLAY is
// unset, the compositor cannot be reached, or the connection broke or was
// given up. A connection that is no more is dropped, and a new one tried at
// most once a second. While another thread is making one, waits for it
// (with the lock let go).
te_wl* te_wl_connection_locked();

// With te_wl_lock held: sends what is queued and dispatches every event
// that has arrived, without waiting. 0 when the connection broke.
int te_wl_pump_locked(te_wl* c);

// With te_wl_lock held: a thread is about to read the connection without
// the lock (after wl_display_prepare_read), or is done with it (after
// wl_display_read_events or wl_display_cancel_read). A connection is not
// dropped while a read is under way.
void te_wl_read_begin_locked();
void te_wl_read_end_locked();

// With te_wl_lock held, let go while waiting: waits until the compositor
// has handled every request sent so far, dispatching events. 1 done; 0 the
// connection broke, or the compositor did not answer within
// TE_WL_ANSWER_MS and the connection was given up. Records the handlers
// write may have changed on return.
int te_wl_sync(te_wl* c);

// With te_wl_lock held, let go while waiting: lets `ms` pass, dispatching
// events meanwhile. 0 when the connection broke.
int te_wl_pause(te_wl* c, int ms);

// With te_wl_lock held: frees a protocol object of a connection being
// dropped, sending nothing (the compositor drops its side with the
// connection). Null does nothing.
void te_wl_free(void* object);

// Readable once the connection was given up, dropped or made since the
// last te_wl_connection_news_take(): the watch follows the connection, not
// its descriptor, with it. -1 when it cannot be had.
int te_wl_connection_news_fd();
void te_wl_connection_news_take();

#endif
