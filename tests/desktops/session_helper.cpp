// What the GNOME and KDE tests need of their headless session besides the
// engine, as a program of its own that prints "ready" once it is set:
//   te-session-helper kde-seat      keeps a fake input device on KWin's seat,
//                                   so windows get the keyboard focus
//   te-session-helper gnome-seat    keeps a started remote desktop session
//                                   on Mutter's seat, for the same reason
//   te-session-helper gnome-copy T [TYPE]
//                                   owns GNOME's clipboard with the text T
//                                   (in the format TYPE alone when given)
//                                   until another owner takes it
//   te-session-helper gnome-paste [TYPE]
//                                   prints GNOME's clipboard text (or its
//                                   content in TYPE)
// (On KDE wl-copy and wl-paste do the clipboard through data control.)
#include <cstdio>
#include <poll.h>
#include <cstring>
#include <string>
#include <systemd/sd-bus.h>
#include <unistd.h>
#include <wayland-client.h>

#include "fake-input-client.h"

namespace {

const char* const RD = "org.gnome.Mutter.RemoteDesktop";
const char* const SESSION = "org.gnome.Mutter.RemoteDesktop.Session";

void ready() {
    std::puts("ready");
    std::fflush(stdout);
}

org_kde_kwin_fake_input* fake_input = nullptr;

void on_global(void*, wl_registry* r, uint32_t name, const char* iface, uint32_t) {
    if (!std::strcmp(iface, org_kde_kwin_fake_input_interface.name))
        fake_input = static_cast<org_kde_kwin_fake_input*>(wl_registry_bind(r, name, &org_kde_kwin_fake_input_interface, 4));
}
void on_remove(void*, wl_registry*, uint32_t) {}
const wl_registry_listener listener = {on_global, on_remove};

int kde_seat() {
    wl_display* d = wl_display_connect(nullptr);
    if (!d) return 1;
    wl_registry_add_listener(wl_display_get_registry(d), &listener, nullptr);
    wl_display_roundtrip(d);
    if (!fake_input) return 1;
    org_kde_kwin_fake_input_authenticate(fake_input, "te tests", "a keyboard on the headless seat");
    wl_display_roundtrip(d);
    ready();
    while (wl_display_dispatch(d) >= 0) {
    }
    return 0;
}

std::string new_session(sd_bus* bus) {
    sd_bus_message* reply = nullptr;
    const char* path = nullptr;
    if (sd_bus_call_method(bus, RD, "/org/gnome/Mutter/RemoteDesktop", RD, "CreateSession", nullptr, &reply, "") < 0 ||
        sd_bus_message_read(reply, "o", &path) < 0)
        return "";
    std::string s = path;
    sd_bus_message_unref(reply);
    return s;
}

int call(sd_bus* bus, const std::string& s, const char* method) {
    return sd_bus_call_method(bus, RD, s.c_str(), SESSION, method, nullptr, nullptr, "") >= 0;
}

// Mutter serves the clipboard of started sessions only.
int enable_clipboard(sd_bus* bus, const std::string& s) {
    return sd_bus_call_method(bus, RD, s.c_str(), SESSION, "EnableClipboard", nullptr, nullptr, "a{sv}", 0) >= 0 &&
           call(bus, s, "Start");
}

void serve(sd_bus* bus) {
    while (sd_bus_process(bus, nullptr) >= 0) sd_bus_wait(bus, UINT64_MAX);
}

int gnome_seat(sd_bus* bus) {
    std::string s = new_session(bus);
    if (s.empty() || !call(bus, s, "Start")) return 1;
    // The first key event of a session on a seat without a keyboard is
    // swallowed: a Shift press and release make the keyboard.
    for (int pressed : {1, 0})
        sd_bus_call_method(bus, RD, s.c_str(), SESSION, "NotifyKeyboardKeysym", nullptr, nullptr, "ub", 0xffe1u, pressed);
    ready();
    serve(bus);
    return 0;
}

struct copy_state {
    std::string session, text;
    bool owner = false, done = false;
};

int on_transfer(sd_bus_message* m, void* data, sd_bus_error*) {
    copy_state* c = static_cast<copy_state*>(data);
    const char* type = nullptr;
    uint32_t serial = 0;
    sd_bus_message_read(m, "su", &type, &serial);
    sd_bus* bus = sd_bus_message_get_bus(m);
    sd_bus_message* reply = nullptr;
    int fd = -1;
    if (sd_bus_call_method(bus, RD, c->session.c_str(), SESSION, "SelectionWrite", nullptr, &reply, "u", serial) >= 0 &&
        sd_bus_message_read(reply, "h", &fd) >= 0) {
        ssize_t n = write(fd, c->text.data(), c->text.size());
        (void)n;
    }
    sd_bus_message_unref(reply);
    sd_bus_call_method(bus, RD, c->session.c_str(), SESSION, "SelectionWriteDone", nullptr, nullptr, "ub", serial, 1);
    return 0;
}

int gnome_copy(sd_bus* bus, const char* text, const char* type) {
    copy_state c;
    c.text = text;
    c.session = new_session(bus);
    if (c.session.empty() || !enable_clipboard(bus, c.session)) return 1;
    sd_bus_match_signal(bus, nullptr, nullptr, c.session.c_str(), SESSION, "SelectionTransfer", on_transfer, &c);
    sd_bus_message* m = nullptr;
    sd_bus_message_new_method_call(bus, &m, RD, c.session.c_str(), SESSION, "SetSelection");
    sd_bus_message_open_container(m, 'a', "{sv}");
    sd_bus_message_open_container(m, 'e', "sv");
    sd_bus_message_append(m, "s", "mime-types");
    if (type) sd_bus_message_append(m, "v", "as", 1, type);
    else sd_bus_message_append(m, "v", "as", 2, "text/plain;charset=utf-8", "text/plain");
    sd_bus_message_close_container(m);
    sd_bus_message_close_container(m);
    if (sd_bus_call(bus, m, 0, nullptr, nullptr) < 0) return 1;
    ready();
    serve(bus);
    return 0;
}

int gnome_paste(sd_bus* bus, const char* type) {
    std::string s = new_session(bus);
    if (s.empty() || !enable_clipboard(bus, s)) return 1;
    sd_bus_message* reply = nullptr;
    int fd = -1;
    if (sd_bus_call_method(bus, RD, s.c_str(), SESSION, "SelectionRead", nullptr, &reply, "s", type) < 0 ||
        sd_bus_message_read(reply, "h", &fd) < 0)
        return 1;
    // Mutter's end of the pipe does not block: wait for each part.
    char buf[65536];
    ssize_t n;
    pollfd p = {fd, POLLIN, 0};
    while (poll(&p, 1, 5000) > 0 && (n = read(fd, buf, sizeof buf)) != 0)
        if (n > 0) fwrite(buf, 1, (size_t)n, stdout);
    sd_bus_message_unref(reply);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "kde-seat") return kde_seat();
    sd_bus* bus = nullptr;
    if (sd_bus_open_user(&bus) < 0) return 1;
    if (mode == "gnome-seat") return gnome_seat(bus);
    if (mode == "gnome-copy" && argc > 2) return gnome_copy(bus, argv[2], argc > 3 ? argv[3] : nullptr);
    if (mode == "gnome-paste") return gnome_paste(bus, argc > 2 ? argv[2] : "text/plain;charset=utf-8");
    std::fprintf(stderr, "usage: te-session-helper kde-seat|gnome-seat|gnome-copy TEXT [TYPE]|gnome-paste [TYPE]\n");
    return 2;
}
