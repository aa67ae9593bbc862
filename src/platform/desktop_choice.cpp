#include "desktop_choice.h"

#include "session_bus_probe.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

const char* te_env(const char* name) {
    const char* v = std::getenv(name);
    return v && v[0] ? v : nullptr;
}

// Where the compositor listens, as libwayland finds it; "" when unknown.
std::string te_wayland_socket_path() {
    const char* display = te_env("WAYLAND_DISPLAY");
    if (!display) return "";
    if (display[0] == '/') return display;
    const char* dir = te_env("XDG_RUNTIME_DIR");
    return dir ? std::string(dir) + "/" + display : "";
}

// A socket file left by a compositor that ended refuses the connection.
bool te_socket_answers(const std::string& path) {
    sockaddr_un addr = {};
    if (path.empty() || path.size() >= sizeof addr.sun_path) return false;
    addr.sun_family = AF_UNIX;
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    bool ok = connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) == 0;
    close(fd);
    return ok;
}

}  // namespace

int te_desktop_session_there(const char* name) {
    if (std::strcmp(name, "wayland") == 0) return te_socket_answers(te_wayland_socket_path()) ? 1 : 0;
    if (std::strcmp(name, "kde") == 0 || std::strcmp(name, "gnome") == 0) {
        const char* bus_name = name[0] == 'k' ? "org.kde.KWin" : "org.gnome.Mutter.RemoteDesktop";
        return te_socket_answers(te_wayland_socket_path()) && te_session_bus_has(bus_name) ? 1 : 0;
    }
    if (std::strcmp(name, "x11") == 0) return te_env("DISPLAY") ? 1 : 0;
    return 1;
}

int te_desktop_choose(const char* const* names, int count) {
    const char* forced = te_env("TE_DESKTOP");
    for (int i = 0; forced && i < count; i++)
        if (std::strcmp(names[i], forced) == 0) return i;
    if (forced) return -1;
    for (int i = 0; i + 1 < count; i++)
        if (te_desktop_session_there(names[i])) return i;
    return count - 1;
}
