// te-window: a plain X11 window that takes the input focus, shows the text
// it is typed and records that text, as UTF-8, after what the file named on
// the command line held. BackSpace removes the last character, from the
// window and from the file (which is then written anew, whole). Like any
// desktop program it names its process in _NET_WM_PID and answers
// _NET_WM_PING once it has handled the events before the ping. Once it has
// the focus it prints its window id on stdout. With --late-pings MS it
// answers the first ping at once and each later one only after MS
// milliseconds of handling nothing, as a busy program does.
//
//   te-window OUTPUT_FILE [TITLE] [--late-pings MS]
#include "key_text.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <poll.h>
#include <string>
#include <unistd.h>

namespace {

volatile std::sig_atomic_t te_stop_requested = 0;

void te_on_signal(int) { te_stop_requested = 1; }

struct te_window {
    Display* dpy = nullptr;
    Window win = 0;
    XIC ic = nullptr;
    XFontSet fonts = nullptr;
    GC gc = nullptr;
    Atom wm_delete = None;
    Atom wm_ping = None;
    FILE* out = nullptr;
    std::string path;
    std::string text;     // what the file holds once recorded
    size_t recorded = 0;  // bytes of text the file holds already
    bool rewrite = false; // a character was removed: write the file anew
    bool dirty = true;
    int late_ping_ms = 0; // how long each ping after the first waits for its answer
    int pings = 0;        // answered so far
};

void te_remove_last_char(te_window& w) {
    size_t n = w.text.size();
    while (n > 0 && (w.text[n - 1] & 0xC0) == 0x80) n--;
    if (n > 0) n--;
    w.text.resize(n);
    w.rewrite = true;
}

// Writes the file anew through a temporary file and a rename, so that a
// reader sees either the old text or the new one.
void te_rewrite(te_window& w) {
    std::string tmp = w.path + ".tmp";
    FILE* f = std::fopen(tmp.c_str(), "wb");
    if (!f) return;
    std::fwrite(w.text.data(), 1, w.text.size(), f);
    std::fclose(f);
    std::rename(tmp.c_str(), w.path.c_str());
    std::fclose(w.out);
    w.out = std::fopen(w.path.c_str(), "ab");
}

void te_record(te_window& w) {
    if (w.rewrite) te_rewrite(w);
    else if (w.text.size() > w.recorded) std::fwrite(w.text.data() + w.recorded, 1, w.text.size() - w.recorded, w.out);
    if (w.out) std::fflush(w.out);
    w.recorded = w.text.size();
    w.rewrite = false;
}

// What the file holds already, which the window's text follows.
std::string te_read_all(FILE* f) {
    std::string s;
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) s.append(buf, n);
    return s;
}

void te_set_identity(te_window& w, const char* title) {
    XStoreName(w.dpy, w.win, title);
    long pid = (long)getpid();
    Atom net_pid = XInternAtom(w.dpy, "_NET_WM_PID", False);
    XChangeProperty(w.dpy, w.win, net_pid, XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(&pid), 1);
    XWMHints hints = {};
    hints.flags = InputHint;
    hints.input = True;
    XSetWMHints(w.dpy, w.win, &hints);
    // Like the toolkits, the window answers pings once it has handled every
    // event queued before them.
    w.wm_delete = XInternAtom(w.dpy, "WM_DELETE_WINDOW", False);
    w.wm_ping = XInternAtom(w.dpy, "_NET_WM_PING", False);
    Atom protocols[] = {w.wm_delete, w.wm_ping};
    XSetWMProtocols(w.dpy, w.win, protocols, 2);
}

// The local input method turns key presses into UTF-8 under any locale
// that Xlib knows as UTF-8; without one the keysyms are converted instead.
void te_open_input(te_window& w) {
    XIM im = XOpenIM(w.dpy, nullptr, nullptr, nullptr);
    if (!im) return;
    w.ic = XCreateIC(im, XNInputStyle, XIMPreeditNothing | XIMStatusNothing, XNClientWindow, w.win,
                     XNFocusWindow, w.win, nullptr);
    if (w.ic) XSetICFocus(w.ic);
}

void te_open_fonts(te_window& w) {
    char** missing = nullptr;
    int missing_count = 0;
    char* def = nullptr;
    w.fonts = XCreateFontSet(w.dpy, "-*-*-medium-r-*-*-14-*-*-*-*-*-*-*,fixed", &missing, &missing_count, &def);
    if (missing) XFreeStringList(missing);
    w.gc = XCreateGC(w.dpy, w.win, 0, nullptr);
    XSetForeground(w.dpy, w.gc, BlackPixel(w.dpy, DefaultScreen(w.dpy)));
}

void te_create(te_window& w, const char* title) {
    int screen = DefaultScreen(w.dpy);
    w.win = XCreateSimpleWindow(w.dpy, RootWindow(w.dpy, screen), 40, 40, 720, 360, 1,
                                BlackPixel(w.dpy, screen), WhitePixel(w.dpy, screen));
    XSelectInput(w.dpy, w.win, KeyPressMask | ExposureMask | StructureNotifyMask | FocusChangeMask);
    te_set_identity(w, title);
    te_open_input(w);
    te_open_fonts(w);
}

void te_map_and_focus(te_window& w) {
    XMapRaised(w.dpy, w.win);
    XEvent ev;
    do XWindowEvent(w.dpy, w.win, StructureNotifyMask, &ev);
    while (ev.type != MapNotify);
    XSetInputFocus(w.dpy, w.win, RevertToParent, CurrentTime);
    XSync(w.dpy, False);
}

// The last lines of the text, as many as the window shows.
void te_draw(te_window& w) {
    XClearWindow(w.dpy, w.win);
    const int line_height = 18, max_lines = 18;
    size_t start = w.text.size();
    for (int lines = 0; start > 0 && lines < max_lines; start--)
        if (w.text[start - 1] == '\n') lines++;
    int y = line_height;
    size_t pos = start;
    while (pos <= w.text.size()) {
        size_t end = w.text.find('\n', pos);
        if (end == std::string::npos) end = w.text.size();
        std::string line = w.text.substr(pos, end - pos);
        if (w.fonts) Xutf8DrawString(w.dpy, w.win, w.fonts, w.gc, 8, y, line.data(), (int)line.size());
        else XDrawString(w.dpy, w.win, w.gc, 8, y, line.data(), (int)line.size());
        y += line_height;
        pos = end + 1;
    }
    w.dirty = false;
}

// The answer goes back to the root window, where whoever pinged listens.
void te_answer_ping(te_window& w, XEvent ev) {
    if (w.pings++ > 0 && w.late_ping_ms > 0) usleep((useconds_t)w.late_ping_ms * 1000);
    Window root = DefaultRootWindow(w.dpy);
    ev.xclient.window = root;
    XSendEvent(w.dpy, root, False, SubstructureNotifyMask | SubstructureRedirectMask, &ev);
}

void te_handle(te_window& w, XEvent& ev) {
    if (XFilterEvent(&ev, None)) return;
    if (ev.type == KeyPress) {
        std::string piece = te_key_text(w.ic, &ev.xkey);
        if (piece.empty()) return;
        if (piece == "\b") te_remove_last_char(w);
        else w.text += piece;
        w.dirty = true;
    } else if (ev.type == MappingNotify) {
        XRefreshKeyboardMapping(&ev.xmapping);
    } else if (ev.type == Expose && ev.xexpose.count == 0) {
        w.dirty = true;
    } else if (ev.type == ClientMessage && (Atom)ev.xclient.data.l[0] == w.wm_delete) {
        te_stop_requested = 1;
    } else if (ev.type == ClientMessage && (Atom)ev.xclient.data.l[0] == w.wm_ping) {
        te_answer_ping(w, ev);
    }
}

// Handles everything queued, then records and shows it before sleeping.
void te_run(te_window& w) {
    while (!te_stop_requested) {
        while (XPending(w.dpy)) {
            XEvent ev;
            XNextEvent(w.dpy, &ev);
            te_handle(w, ev);
        }
        te_record(w);
        if (w.dirty) te_draw(w);
        XFlush(w.dpy);
        // Xlib may have read events while drawing or flushing: those are
        // not on the socket any more.
        if (XEventsQueued(w.dpy, QueuedAlready)) continue;
        struct pollfd p = {ConnectionNumber(w.dpy), POLLIN, 0};
        poll(&p, 1, 100);
    }
}

void te_close(te_window& w) {
    if (w.ic) {
        XIM im = XIMOfIC(w.ic);
        XDestroyIC(w.ic);
        XCloseIM(im);
    }
    if (w.fonts) XFreeFontSet(w.dpy, w.fonts);
    if (w.gc) XFreeGC(w.dpy, w.gc);
    XCloseDisplay(w.dpy);
}

}  // namespace

int main(int argc, char** argv) {
    int late_ping_ms = 0;
    if (argc > 2 && std::string(argv[argc - 2]) == "--late-pings") {
        late_ping_ms = std::atoi(argv[argc - 1]);
        argc -= 2;
    }
    if (argc < 2) {
        std::fprintf(stderr, "usage: te-window OUTPUT_FILE [TITLE] [--late-pings MS]\n");
        return 2;
    }
    if (!std::setlocale(LC_ALL, "C.UTF-8")) std::setlocale(LC_ALL, "");
    XSetLocaleModifiers("@im=none");
    te_window w;
    w.path = argv[1];
    w.late_ping_ms = late_ping_ms;
    if (FILE* f = std::fopen(argv[1], "rb")) {
        w.text = te_read_all(f);
        w.recorded = w.text.size();
        std::fclose(f);
    }
    w.out = std::fopen(argv[1], "ab");
    w.dpy = XOpenDisplay(nullptr);
    if (!w.out || !w.dpy) {
        std::fprintf(stderr, "te-window: cannot open %s\n", w.out ? "the display" : argv[1]);
        return 1;
    }
    std::signal(SIGTERM, te_on_signal);
    std::signal(SIGINT, te_on_signal);
    te_create(w, argc > 2 ? argv[2] : "te-window");
    te_map_and_focus(w);
    std::printf("0x%lx\n", (unsigned long)w.win);
    std::fflush(stdout);
    te_run(w);
    if (w.out) std::fclose(w.out);
    te_close(w);
    return 0;
}
