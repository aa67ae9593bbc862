// The program in front: the active window (as the window manager names it
// on the root window, or else the input focus), the process that set
// _NET_WM_PID on it or on the nearest ancestor that has one (or else, for
// programs that set none, the process of the client that made the window,
// as the X-Resource extension knows it), and that process's executable
// file name from /proc, ASCII letters upper-cased. The same process, compared
// with this one's, tells a window of the host itself.
#include "ascii_case.h"
#include "platform.h"
#include "x11_desktop.h"
#include "x11_display.h"

#include <X11/Xatom.h>
#include <X11/extensions/XRes.h>
#include <climits>
#include <cstring>
#include <unistd.h>

namespace {

// One 32-bit item of a CARDINAL or WINDOW property; 0 when missing.
unsigned long te_property_item(Display* dpy, Window w, const char* name, Atom type) {
    Atom actual = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    int rc = XGetWindowProperty(dpy, w, XInternAtom(dpy, name, False), 0, 1, False, type, &actual, &format,
                                &count, &after, &data);
    unsigned long value = 0;
    if (rc == Success && data && actual == type && format == 32 && count == 1)
        value = reinterpret_cast<unsigned long*>(data)[0];
    if (data) XFree(data);
    return value;
}

// The window under the pointer, for a focus that follows the pointer.
Window te_pointer_window(Display* dpy) {
    Window root = None, child = None;
    int rx, ry, wx, wy;
    unsigned mask;
    XQueryPointer(dpy, DefaultRootWindow(dpy), &root, &child, &rx, &ry, &wx, &wy, &mask);
    return child;
}

Window te_front_window(Display* dpy) {
    Window active = te_property_item(dpy, DefaultRootWindow(dpy), "_NET_ACTIVE_WINDOW", XA_WINDOW);
    if (active) return active;
    Window focus = te_x11_input_focus(dpy);
    if (focus == PointerRoot) return te_pointer_window(dpy);
    return focus == DefaultRootWindow(dpy) ? None : focus;
}

// The process of the client that created the window, as the server knows
// it (local clients only); 0 when it cannot tell.
long te_client_pid(Display* dpy, Window w) {
    int event_base, error_base;
    if (!XResQueryExtension(dpy, &event_base, &error_base)) return 0;
    XResClientIdSpec wanted = {w, XRES_CLIENT_ID_PID_MASK};
    long count = 0;
    XResClientIdValue* ids = nullptr;
    if (XResQueryClientIds(dpy, 1, &wanted, &count, &ids) != Success) return 0;
    long pid = 0;
    for (long i = 0; i < count && pid <= 0; i++)
        if (XResGetClientIdType(&ids[i]) == XRES_CLIENT_ID_PID) pid = (long)XResGetClientPid(&ids[i]);
    XResClientIdsDestroy(count, ids);
    return pid > 0 ? pid : 0;
}

// The process of the window or of its nearest ancestor that names one,
// else the window's client's.
long te_window_pid(Display* dpy, Window w) {
    for (Window up = w; up != None; up = te_x11_parent(dpy, up)) {
        unsigned long pid = te_property_item(dpy, up, "_NET_WM_PID", XA_CARDINAL);
        if (pid) return (long)pid;
    }
    return te_client_pid(dpy, w);
}

// The base name of /proc/PID/exe into name[size]; 0 when it cannot be read.
int te_exe_base_name(long pid, char* name, size_t size) {
    char link[64];
    char path[PATH_MAX + 1];
    std::snprintf(link, sizeof link, "/proc/%ld/exe", pid);
    ssize_t n = readlink(link, path, PATH_MAX);
    if (n <= 0) return 0;
    path[n] = 0;
    const char* deleted = " (deleted)";
    size_t dl = std::strlen(deleted);
    if ((size_t)n > dl && std::strcmp(path + n - dl, deleted) == 0) path[n - dl] = 0;
    const char* slash = std::strrchr(path, '/');
    const char* base = slash ? slash + 1 : path;
    if (std::strlen(base) + 1 > size) return 0;
    std::memcpy(name, base, std::strlen(base) + 1);
    return 1;
}

long te_front_pid(Display* dpy) {
    te_x11_errors_mark();
    Window w = te_front_window(dpy);
    long pid = w ? te_window_pid(dpy, w) : 0;
    return te_x11_errors_since(dpy) || te_x11_lost() ? 0 : pid;
}

}  // namespace

int te_x11_foreground_is_this_process(void) {
    Display* dpy = te_x11_display();
    return dpy && te_front_pid(dpy) == (long)getpid() ? 1 : 0;
}

const char* te_x11_foreground_process_name(char* out, int size) {
    if (size <= 1) return nullptr;
    out[0] = 0;
    Display* dpy = te_x11_display();
    if (!dpy) return nullptr;
    long pid = te_front_pid(dpy);
    if (pid <= 0 || !te_exe_base_name(pid, out, (size_t)size)) {
        out[0] = 0;
        return nullptr;
    }
    te_ascii_upper(out);
    return out;
}
