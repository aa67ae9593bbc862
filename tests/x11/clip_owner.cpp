// A clipboard owner for the tests, for the cases xclip does not cover.
//
//   te-clip-owner silent          owns CLIPBOARD and never answers
//   te-clip-owner incr FILE N     gives FILE as UTF8_STRING, always through
//                                 the INCR protocol, N bytes per piece
//   te-clip-owner latin1 FILE     gives FILE as STRING only, and refuses
//                                 UTF8_STRING
//
// Prints "ready" once it owns the selection; runs until killed.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

namespace {

struct te_owner {
    Display* dpy;
    Window win;
    Atom clipboard, utf8, incr, targets;
    std::string mode, data;
    size_t piece;
};

void te_notify(te_owner& o, const XSelectionRequestEvent& req, Atom property) {
    XEvent ev = {};
    ev.xselection.type = SelectionNotify;
    ev.xselection.requestor = req.requestor;
    ev.xselection.selection = req.selection;
    ev.xselection.target = req.target;
    ev.xselection.property = property;
    ev.xselection.time = req.time;
    XSendEvent(o.dpy, req.requestor, False, 0, &ev);
    XFlush(o.dpy);
}

void te_put(te_owner& o, Window w, Atom prop, Atom type, const char* p, size_t n) {
    XChangeProperty(o.dpy, w, prop, type, 8, PropModeReplace, reinterpret_cast<const unsigned char*>(p), (int)n);
}

// Waits for the requestor to delete the property: its call for the next piece.
void te_wait_delete(te_owner& o, Window w, Atom prop) {
    XEvent ev;
    for (;;) {
        XWindowEvent(o.dpy, w, PropertyChangeMask, &ev);
        if (ev.xproperty.atom == prop && ev.xproperty.state == PropertyDelete) return;
    }
}

void te_serve_incr(te_owner& o, const XSelectionRequestEvent& req) {
    XSelectInput(o.dpy, req.requestor, PropertyChangeMask);
    long total = (long)o.data.size();
    XChangeProperty(o.dpy, req.requestor, req.property, o.incr, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(&total), 1);
    te_notify(o, req, req.property);
    for (size_t off = 0;; off += o.piece) {
        te_wait_delete(o, req.requestor, req.property);
        size_t n = off < o.data.size() ? std::min(o.piece, o.data.size() - off) : 0;
        te_put(o, req.requestor, req.property, o.utf8, o.data.data() + off, n);
        XFlush(o.dpy);
        if (n == 0) break;
    }
    XSelectInput(o.dpy, req.requestor, NoEventMask);
}

void te_serve(te_owner& o, const XSelectionRequestEvent& req) {
    if (o.mode == "silent") return;
    Atom wanted = o.mode == "incr" ? o.utf8 : XA_STRING;
    if (req.target == o.targets) {
        Atom list[2] = {o.targets, wanted};
        XChangeProperty(o.dpy, req.requestor, req.property, XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<unsigned char*>(list), 2);
        te_notify(o, req, req.property);
    } else if (req.target != wanted) {
        te_notify(o, req, None);
    } else if (o.mode == "incr") {
        te_serve_incr(o, req);
    } else {
        te_put(o, req.requestor, req.property, XA_STRING, o.data.data(), o.data.size());
        te_notify(o, req, req.property);
    }
}

std::string te_read(const char* path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    te_owner o;
    o.dpy = XOpenDisplay(nullptr);
    if (!o.dpy) return 1;
    o.mode = argv[1];
    o.data = argc > 2 ? te_read(argv[2]) : "";
    o.piece = argc > 3 ? (size_t)std::atol(argv[3]) : 4096;
    o.win = XCreateSimpleWindow(o.dpy, DefaultRootWindow(o.dpy), 0, 0, 1, 1, 0, 0, 0);
    o.clipboard = XInternAtom(o.dpy, "CLIPBOARD", False);
    o.utf8 = XInternAtom(o.dpy, "UTF8_STRING", False);
    o.incr = XInternAtom(o.dpy, "INCR", False);
    o.targets = XInternAtom(o.dpy, "TARGETS", False);
    XSetSelectionOwner(o.dpy, o.clipboard, o.win, CurrentTime);
    XSync(o.dpy, False);
    std::printf("ready\n");
    std::fflush(stdout);
    for (;;) {
        XEvent ev;
        XNextEvent(o.dpy, &ev);
        if (ev.type == SelectionRequest) te_serve(o, ev.xselectionrequest);
    }
}
