// The XDG autostart entry that starts `te run` with the desktop session.
#include "autostart_entry.h"

#include <cstdlib>
#include <cstring>

namespace {

// One Exec argument. One that holds a reserved character is put in double
// quotes, with " ` $ \ escaped by a backslash; every backslash is then
// doubled again, as in any string value of the file, and % becomes %%.
// False for a control character, which no Exec line can carry.
bool te_exec_argument(const std::string& arg, std::string* out) {
    const char* reserved = " \t\"'\\><~|&;$*?#()`";
    bool quote = arg.empty() || arg.find_first_of(reserved) != std::string::npos;
    std::string text = quote ? "\"" : "";
    for (char c : arg) {
        if ((unsigned char)c < 0x20 || c == 0x7F) return false;
        if (quote && std::strchr("\"`$\\", c)) text += '\\';
        text += c == '%' ? std::string("%%") : std::string(1, c);
    }
    if (quote) text += '"';
    for (char c : text) *out += c == '\\' ? std::string("\\\\") : std::string(1, c);
    return true;
}

}  // namespace

std::string te_autostart_path(void) {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    std::string config = xdg && xdg[0] ? xdg : home && home[0] ? std::string(home) + "/.config" : "";
    return config.empty() ? "" : config + "/autostart/velmora-te.desktop";
}

std::string te_autostart_entry(const std::vector<std::string>& command) {
    std::string exec;
    for (const std::string& arg : command) {
        if (!exec.empty()) exec += ' ';
        if (!te_exec_argument(arg, &exec)) return "";
    }
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=Velmora text expander\n"
           "Comment=Expands snippet triggers into text as you work\n"
           "Exec=" + exec + "\n"
           "Terminal=false\n"
           "X-GNOME-Autostart-enabled=true\n";
}
