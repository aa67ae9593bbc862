// Where the instance lock lives.
#include "instance.h"

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

// $DISPLAY as a file-name part, without the screen number: ":0.0" and ":0"
// are one display, "_0".
std::string te_display_tag(void) {
    std::string display = te_env("DISPLAY");
    std::size_t colon = display.rfind(':');
    if (colon != std::string::npos) display = display.substr(0, display.find('.', colon));
    if (display.empty()) return "nodisplay";
    for (char& c : display) {
        bool keep = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                    c == '_' || c == '.' || c == '-';
        if (!keep) c = '_';
    }
    return display;
}

}  // namespace

std::string te_instance_dir(const std::string& store_path) {
    std::string runtime = te_env("XDG_RUNTIME_DIR");
    if (te_is_directory(runtime)) return runtime;
    return te_parent_folder(store_path);
}

std::string te_instance_lock_path(const std::string& store_path) {
    return te_instance_dir(store_path) + "/velmora-te-" + te_display_tag() + ".lock";
}
