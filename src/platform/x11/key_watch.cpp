#include "key_watch.h"

#include "key_listener.h"
#include "key_queue.h"
#include "platform.h"
#include "x11_display.h"

namespace {

struct te_key_watch {
    bool open = false;
    unsigned connection = 0;  // the connection the listener was opened on
    te_key_listener listener;
    te_key_queue queue;
};
thread_local te_key_watch te_keys;

// A listener whose connection broke is dropped (its resources went with
// the connection); what was typed meanwhile is unknown, hence a reset.
void te_drop_broken(te_key_watch& w) {
    if (!w.listener.dpy || (!te_x11_lost() && te_x11_connection_id() == w.connection)) return;
    w.listener.dpy = nullptr;
    te_key_listener_close(&w.listener);
    te_key_queue_push(&w.queue, TE_KEY_RESET, nullptr);
}

}  // namespace

int te_key_watch_open(void) {
    te_keys.open = true;
    return te_key_watch_display() != nullptr;
}

Display* te_key_watch_display(void) {
    te_key_watch& w = te_keys;
    if (!w.open) return nullptr;
    te_drop_broken(w);
    if (w.listener.dpy) return w.listener.dpy;
    Display* dpy = te_x11_display();
    if (!dpy || !te_key_listener_open(&w.listener, dpy, &w.queue)) return nullptr;
    w.connection = te_x11_connection_id();
    return dpy;
}

int te_key_watch_take(XEvent* ev) { return te_keys.listener.dpy && te_key_listener_take(&te_keys.listener, ev); }

int te_key_watch_pending(void) { return te_keys.queue.count != 0; }

void te_key_watch_close(void) {
    te_key_watch& w = te_keys;
    if (w.listener.dpy) te_key_listener_close(&w.listener);
    te_key_queue_wipe(&w.queue);
    w.open = false;
}

int te_key_watch_next(te_key_event* out) { return te_key_queue_pop(&te_keys.queue, out); }
