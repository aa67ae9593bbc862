#include "x11_harness.h"

#include "utf8_codec.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/extensions/XInput2.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <cerrno>
#include <fcntl.h>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <poll.h>
#include <sstream>
#include <sys/wait.h>
#include <time.h>
#include <sys/prctl.h>
#include <unistd.h>

namespace te_test {

namespace {

std::vector<char*> te_argv(const std::vector<std::string>& argv) {
    std::vector<char*> out;
    for (const std::string& a : argv) out.push_back(const_cast<char*>(a.c_str()));
    out.push_back(nullptr);
    return out;
}

// Waits up to timeout_ms for pid to end; its status, or -1 on timeout.
int te_wait_pid(pid_t pid, int timeout_ms) {
    long long end = millis() + timeout_ms;
    for (;;) {
        int status = 0;
        pid_t r = waitpid(pid, &status, WNOHANG);
        if (r == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        if (r < 0 || millis() >= end) return -1;
        usleep(2000);
    }
}

// Children that are not listened to write their chatter nowhere.
void te_quiet_output() {
    int null_fd = open("/dev/null", O_WRONLY);
    if (null_fd < 0) return;
    dup2(null_fd, 1);
    dup2(null_fd, 2);
    close(null_fd);
}

// Runs a peer in place of this child process. Peers take and give text as
// UTF-8, as the tests do, whatever the locale the tests were started in
// (xdotool reads the text it types in the locale's character set).
void te_exec(const std::vector<std::string>& argv) {
    setenv("LC_ALL", "C.UTF-8", 1);
    std::vector<char*> args = te_argv(argv);
    execvp(args[0], args.data());
}

}  // namespace

long long millis() {
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return (long long)ts.tv_sec * 1000 + ts.tv_nsec / 1000000;
}

child::child(const std::vector<std::string>& argv, bool capture) {
    int fds[2] = {-1, -1};
    if (capture && pipe(fds) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
        // A test that crashes takes its peers with it, so they do not hold
        // the test runner's output open until its timeout.
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (capture) {
            dup2(fds[1], 1);
            close(fds[0]);
            close(fds[1]);
        } else {
            te_quiet_output();
        }
        te_exec(argv);
        _exit(127);
    }
    if (capture) {
        close(fds[1]);
        out_fd_ = fds[0];
    }
}

child::~child() {
    stop();
    if (out_fd_ >= 0) close(out_fd_);
}

void child::stop() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    if (te_wait_pid(pid_, 2000) < 0) {
        kill(pid_, SIGKILL);
        te_wait_pid(pid_, 2000);
    }
    pid_ = -1;
}

std::string child::read_line(int timeout_ms) {
    std::string line;
    long long end = millis() + timeout_ms;
    while (out_fd_ >= 0 && millis() < end) {
        struct pollfd p = {out_fd_, POLLIN, 0};
        if (poll(&p, 1, (int)(end - millis())) <= 0) continue;
        char c;
        if (read(out_fd_, &c, 1) != 1) break;
        if (c == '\n') return line;
        line += c;
    }
    return "";
}

std::string child::read_all(int timeout_ms) {
    char buf[65536];
    struct pollfd p = {out_fd_, POLLIN, 0};
    if (out_fd_ < 0 || poll(&p, 1, timeout_ms) <= 0) return "";
    ssize_t n = read(out_fd_, buf, sizeof buf);
    return n > 0 ? std::string(buf, (size_t)n) : "";
}

int run(const std::vector<std::string>& argv, int timeout_ms) {
    pid_t pid = fork();
    if (pid < 0) return -1;
    if (pid == 0) {
        te_exec(argv);
        _exit(127);
    }
    int status = te_wait_pid(pid, timeout_ms);
    if (status < 0) {
        kill(pid, SIGKILL);
        te_wait_pid(pid, 2000);
    }
    return status;
}

std::string output_of(const std::vector<std::string>& argv) {
    child c(argv, true);
    std::string out;
    for (;;) {
        std::string piece = c.read_all(10000);
        if (piece.empty()) break;
        out += piece;
    }
    return out;
}

namespace {

std::vector<std::string> te_window_argv(const std::string& program, const std::string& path,
                                        const std::vector<std::string>& extra) {
    std::vector<std::string> argv = {program, path, "te-window test"};
    argv.insert(argv.end(), extra.begin(), extra.end());
    return argv;
}

// The server's own (not XTest) slave device of the kind; 0 when none.
int te_server_device(int use) {
    Display* dpy = display();
    int n = 0, found = 0;
    XIDeviceInfo* info = dpy ? XIQueryDevice(dpy, XIAllDevices, &n) : nullptr;
    for (int i = 0; i < n && !found; i++)
        if (info[i].use == use && !std::strstr(info[i].name, "XTEST")) found = info[i].deviceid;
    if (info) XIFreeDeviceInfo(info);
    return found;
}

}  // namespace

text_window::text_window(const std::vector<std::string>& extra) : text_window(TE_WINDOW_PATH, extra) {}

text_window::text_window(const std::string& program, const std::vector<std::string>& extra)
    : path_(temp_file("")), proc_(te_window_argv(program, path_, extra), true) {
    std::string id = proc_.read_line(10000);
    window_ = id.empty() ? 0 : (Window)std::strtoul(id.c_str(), nullptr, 16);
}

std::string text_window::received() const { return read_file(path_); }

std::string text_window::wait_for(size_t bytes, int timeout_ms) const {
    long long end = millis() + timeout_ms;
    std::string got = received();
    while (got.size() < bytes && millis() < end) {
        usleep(5000);
        got = received();
    }
    usleep(100000);  // anything more that was on its way
    return received();
}

Display* display() {
    static Display* dpy = XOpenDisplay(nullptr);
    return dpy;
}

keyboard::keyboard() : id_(te_server_device(XISlaveKeyboard)) {
    if (id_) dev_ = XOpenDevice(display(), (XID)id_);
}

bool keyboard::grabbed() const {
    int n = 0;
    XIDeviceInfo* info = XIQueryDevice(display(), id_, &n);
    bool floating = n == 1 && info[0].use == XIFloatingSlave;
    if (info) XIFreeDeviceInfo(info);
    return floating;
}

void click() {
    Display* dpy = display();
    int id = te_server_device(XISlavePointer);
    XDevice* dev = id ? XOpenDevice(dpy, (XID)id) : nullptr;
    if (!dev) return;
    XTestFakeDeviceButtonEvent(dpy, dev, 1, True, nullptr, 0, CurrentTime);
    XTestFakeDeviceButtonEvent(dpy, dev, 1, False, nullptr, 0, CurrentTime);
    XCloseDevice(dpy, dev);
    XSync(dpy, False);
}

keyboard::~keyboard() {
    if (dev_) XCloseDevice(display(), dev_);
}

void keyboard::key(const std::string& name, bool down) {
    Display* dpy = display();
    KeySym ks = name.size() == 1 ? (KeySym)(unsigned char)name[0] : XStringToKeysym(name.c_str());
    KeyCode code = XKeysymToKeycode(dpy, ks);
    if (!dev_ || !code) return;
    KeyCode shift = XkbKeycodeToKeysym(dpy, code, 0, 0) != ks ? XKeysymToKeycode(dpy, XK_Shift_L) : 0;
    if (shift && down) XTestFakeDeviceKeyEvent(dpy, dev_, shift, True, nullptr, 0, CurrentTime);
    XTestFakeDeviceKeyEvent(dpy, dev_, code, down, nullptr, 0, CurrentTime);
    if (shift && !down) XTestFakeDeviceKeyEvent(dpy, dev_, shift, False, nullptr, 0, CurrentTime);
    XSync(dpy, False);
}

void keyboard::type(const std::string& text, int delay_ms) {
    for (char c : text) {
        key(std::string(1, c), true);
        key(std::string(1, c), false);
        if (delay_ms > 0) usleep((useconds_t)delay_ms * 1000);
    }
}

std::vector<KeySym> keyboard_mapping() {
    Display* dpy = display();
    int lo = 0, hi = 0, per = 0;
    XDisplayKeycodes(dpy, &lo, &hi);
    KeySym* map = XGetKeyboardMapping(dpy, (KeyCode)lo, hi - lo + 1, &per);
    std::vector<KeySym> out(map, map + (hi - lo + 1) * per);
    XFree(map);
    return out;
}

void set_focus(Window w) {
    XSetInputFocus(display(), w, RevertToNone, CurrentTime);
    XSync(display(), False);
}

void set_active_window(Window w) {
    Display* dpy = display();
    Atom active = XInternAtom(dpy, "_NET_ACTIVE_WINDOW", False);
    if (w) {
        XChangeProperty(dpy, DefaultRootWindow(dpy), active, XA_WINDOW, 32, PropModeReplace,
                        reinterpret_cast<unsigned char*>(&w), 1);
    } else {
        XDeleteProperty(dpy, DefaultRootWindow(dpy), active);
    }
    XSync(dpy, False);
}

Window clipboard_owner() {
    Display* dpy = display();
    return XGetSelectionOwner(dpy, XInternAtom(dpy, "CLIPBOARD", False));
}

bool wait_clipboard_owner(Window previous, int timeout_ms) {
    long long end = millis() + timeout_ms;
    while (millis() < end) {
        Window owner = clipboard_owner();
        if (owner != None && owner != previous) return true;
        usleep(5000);
    }
    return false;
}

void clear_clipboard() {
    Display* dpy = display();
    Atom clipboard = XInternAtom(dpy, "CLIPBOARD", False);
    XSetSelectionOwner(dpy, clipboard, None, CurrentTime);
    XSync(dpy, False);
}

std::string temp_file(const std::string& content) {
    char dir[] = "/tmp/te-x11-XXXXXX";
    if (!mkdtemp(dir)) return "";
    std::string path = std::string(dir) + "/data";
    std::ofstream(path, std::ios::binary) << content;
    return path;
}

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string mixed_text(size_t count, unsigned seed) {
    static const unsigned latin[] = {0xE9, 0xE8, 0xFC, 0xF1, 0xE7, 0xF8, 0xE5, 0xDF, 0x153, 0x142};
    std::string out;
    unsigned x = seed;
    for (size_t i = 0; i < count; i++) {
        x = x * 1103515245u + 12345u;
        unsigned r = (x >> 8) % 1000;
        unsigned cp;
        if (i % 97 == 96) cp = '\n';
        else if (r < 300) cp = 0x21 + r % 94;
        else if (r < 400) cp = latin[r % 10];
        else if (r < 550) cp = 0x3B1 + r % 25;
        else if (r < 700) cp = 0x430 + r % 32;
        else if (r < 900) cp = 0x4E00 + (x >> 4) % 2000;
        else cp = 0x1F600 + r % 80;
        te_utf8_append(out, cp);
    }
    return out;
}

}  // namespace te_test
