// One X connection per thread, opened on first use and closed when the
// thread ends. Xlib's default handlers end the process on any protocol
// error or a broken connection; the handlers installed here count errors
// on our own connections instead and mark a broken one as lost, and pass
// everything about the host's own connections to the handlers it had.
#include "x11_display.h"

#include "platform.h"

#include <X11/extensions/XTest.h>
#include <cstdlib>
#include <mutex>
#include <poll.h>

namespace {

const std::uint64_t TE_RETRY_MS = 1000;

struct te_x11_conn {
    Display* dpy = nullptr;
    bool lost = false;
    bool failed = false;
    std::uint64_t failed_at = 0;
    int xtest = -1;  // -1 not asked yet
    Window helper = 0;
    int errors = 0;
    unsigned id = 0;

    ~te_x11_conn() {
        if (dpy) XCloseDisplay(dpy);
    }
};

thread_local te_x11_conn te_conn;

XErrorHandler te_prev_error_handler = nullptr;
XIOErrorHandler te_prev_io_handler = nullptr;
std::once_flag te_handlers_once;

int te_on_x_error(Display* dpy, XErrorEvent* ev) {
    if (dpy == te_conn.dpy) {
        te_conn.errors++;
        return 0;
    }
    return te_prev_error_handler ? te_prev_error_handler(dpy, ev) : 0;
}

// Returning from here leaves the connection dead but the process alive: our
// displays carry an exit handler that does nothing.
int te_on_io_error(Display* dpy) {
    if (dpy == te_conn.dpy) {
        te_conn.lost = true;
        return 0;
    }
    return te_prev_io_handler ? te_prev_io_handler(dpy) : 0;
}

void te_on_io_exit(Display* dpy, void* data) {
    (void)data;
    if (dpy == te_conn.dpy) te_conn.lost = true;
}

void te_install_handlers() {
    te_prev_error_handler = XSetErrorHandler(te_on_x_error);
    te_prev_io_handler = XSetIOErrorHandler(te_on_io_error);
}

void te_mark_failed(te_x11_conn& c) {
    c.failed = true;
    c.failed_at = now_millis();
}

void te_drop_lost(te_x11_conn& c) {
    XCloseDisplay(c.dpy);
    unsigned id = c.id;
    c = te_x11_conn();
    c.id = id;
    te_mark_failed(c);
}

Display* te_open(te_x11_conn& c) {
    const char* name = std::getenv("DISPLAY");
    if (!name || !name[0]) return nullptr;
    std::call_once(te_handlers_once, te_install_handlers);
    Display* dpy = XOpenDisplay(name);
    if (!dpy) return nullptr;
    XSetIOErrorExitHandler(dpy, te_on_io_exit, nullptr);
    c.dpy = dpy;
    c.id++;
    c.lost = false;
    c.failed = false;
    return dpy;
}

}  // namespace

Display* te_x11_display() {
    te_x11_conn& c = te_conn;
    if (c.dpy && c.lost) te_drop_lost(c);
    if (c.dpy) return c.dpy;
    if (c.failed && now_millis() - c.failed_at < TE_RETRY_MS) return nullptr;
    Display* dpy = te_open(c);
    if (!dpy) te_mark_failed(c);
    return dpy;
}

unsigned te_x11_connection_id() { return te_conn.id; }

void te_x11_retry_now() { te_conn.failed = false; }

int te_x11_lost() { return te_conn.lost ? 1 : 0; }

int te_x11_has_xtest(Display* dpy) {
    if (te_conn.xtest < 0) {
        int event_base, error_base, major, minor;
        te_conn.xtest = XTestQueryExtension(dpy, &event_base, &error_base, &major, &minor) ? 1 : 0;
    }
    return te_conn.xtest;
}

Window te_x11_property_window(Display* dpy) {
    XSetWindowAttributes attrs;
    attrs.event_mask = PropertyChangeMask;
    return XCreateWindow(dpy, DefaultRootWindow(dpy), -10, -10, 1, 1, 0, CopyFromParent, InputOnly, CopyFromParent,
                         CWEventMask, &attrs);
}

Window te_x11_helper_window(Display* dpy) {
    if (!te_conn.helper) te_conn.helper = te_x11_property_window(dpy);
    return te_conn.helper;
}

Window te_x11_input_focus(Display* dpy) {
    Window focus = None;
    int revert = 0;
    XGetInputFocus(dpy, &focus, &revert);
    return focus;
}

Window te_x11_parent(Display* dpy, Window w) {
    Window root = None, parent = None, *children = nullptr;
    unsigned n = 0;
    if (!XQueryTree(dpy, w, &root, &parent, &children, &n)) return None;
    if (children) XFree(children);
    return parent == root ? None : parent;
}

void te_x11_errors_mark() { te_conn.errors = 0; }

int te_x11_errors_since(Display* dpy) {
    XSync(dpy, False);
    return te_conn.errors;
}

int te_x11_wait_event(Display* dpy, Window w, int type, XEvent* ev, std::uint64_t deadline) {
    for (;;) {
        if (XCheckTypedWindowEvent(dpy, w, type, ev)) return 1;
        if (te_conn.lost) return 0;
        std::uint64_t now = now_millis();
        if (now >= deadline) return 0;
        struct pollfd p = {ConnectionNumber(dpy), POLLIN, 0};
        poll(&p, 1, (int)(deadline - now));
    }
}
