// Where the instance lock lives.
#include "instance.h"

#include "desktop_settle.h"

#include <cstdlib>
#include <sys/stat.h>

namespace {

std::string te_env(const char* name) {
    const char* v = std::getenv(name);
    return v ? v : "";
}

bool te_is_directory(const std::string& path) {
    struct stat st;
    return !path.empty() && stat(path.c_str(), &st) == 0 && (st.st_mode & S_IFMT) == S_IFDIR;
}

// The folder part of a file path ("." for a bare file name).
std::string te_parent_folder(const std::string& path) {
    std::size_t cut = path.find_last_of("/\\");
    if (cut == std::string::npos) return ".";
    return cut == 0 ? path.substr(0, 1) : path.substr(0, cut);
}

// A name as a file-name part: every byte outside [A-Za-z0-9_.-] becomes '_'.
std::string te_file_name_part(std::string name) {
    for (char& c : name) {
        bool keep = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                    c == '_' || c == '.' || c == '-';
        if (!keep) c = '_';
    }
    return name;
}

// $DISPLAY without the screen number: ":0.0" and ":0" are one display, "_0".
std::string te_x11_tag(void) {
    std::string display = te_env("DISPLAY");
    std::size_t colon = display.rfind(':');
    if (colon != std::string::npos) display = display.substr(0, display.find('.', colon));
    return display.empty() ? "nodisplay" : te_file_name_part(display);
}

// The compositor's socket as a full path ("wayland-0" lies in
// $XDG_RUNTIME_DIR), so both ways of naming it are one session.
std::string te_wayland_tag(void) {
    std::string socket = te_env("WAYLAND_DISPLAY");
    if (socket.empty()) socket = "wayland-0";
    if (socket[0] != '/') socket = te_env("XDG_RUNTIME_DIR") + "/" + socket;
    return "wayland" + te_file_name_part(socket);
}

// The desktop this process serves (or would serve), as the lock's name.
std::string te_desktop_tag(void) {
    std::string desktop = te_desktop_chosen();
    if (desktop == "wayland") return te_wayland_tag();
    if (desktop == "x11") return te_x11_tag();
    return "nodisplay";
}

}  // namespace

std::string te_instance_dir(const std::string& store_path) {
    std::string runtime = te_env("XDG_RUNTIME_DIR");
    if (te_is_directory(runtime)) return runtime;
    return te_parent_folder(store_path);
}

std::string te_instance_lock_path(const std::string& store_path) {
    return te_instance_dir(store_path) + "/velmora-te-" + te_desktop_tag() + ".lock";
}
