// The XDG autostart entries of the desktop hosts.
#include "autostart_entry.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "private_file.h"

namespace {

struct te_entry_kind {
    const char* file;
    const char* name;
    const char* comment;
};

const te_entry_kind te_entry_kinds[] = {
    {"velmora-te.desktop", "Velmora text expander", "Expands snippet triggers into text as you work"},
    {"velmora-manager.desktop", "Velmora snippets", "Keeps your snippets and expands their triggers as you work"},
};

te_autostart_host te_other_host(te_autostart_host host) {
    return host == TE_AUTOSTART_TE_RUN ? TE_AUTOSTART_MANAGER : TE_AUTOSTART_TE_RUN;
}

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

std::string te_autostart_path(te_autostart_host host) {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    std::string config = xdg && xdg[0] ? xdg : home && home[0] ? std::string(home) + "/.config" : "";
    return config.empty() ? "" : config + "/autostart/" + te_entry_kinds[host].file;
}

std::string te_autostart_entry(te_autostart_host host, const std::vector<std::string>& command) {
    std::string exec;
    for (const std::string& arg : command) {
        if (!exec.empty()) exec += ' ';
        if (!te_exec_argument(arg, &exec)) return "";
    }
    const te_entry_kind& kind = te_entry_kinds[host];
    return std::string("[Desktop Entry]\n"
                       "Type=Application\n"
                       "Name=") + kind.name + "\n"
           "Comment=" + kind.comment + "\n"
           "Exec=" + exec + "\n"
           "Terminal=false\n"
           "X-GNOME-Autostart-enabled=true\n";
}

bool te_autostart_enable(te_autostart_host host, const std::string& entry, bool* other_removed, std::string* error) {
    *other_removed = false;
    std::string path = te_autostart_path(host);
    if (path.empty()) {
        *error = "neither XDG_CONFIG_HOME nor HOME is set";
        return false;
    }
    te_make_parent_dirs(path);
    if (!te_replace_private(path, entry, error)) return false;
    int removed = te_autostart_disable(te_other_host(host), error);
    *other_removed = removed == 1;
    return removed >= 0;
}

int te_autostart_disable(te_autostart_host host, std::string* error) {
    std::string path = te_autostart_path(host);
    if (path.empty()) return 0;
    std::error_code ec;
    if (std::filesystem::remove(path, ec)) return 1;
    if (!ec) return 0;
    *error = path + ": " + ec.message();
    return -1;
}

bool te_autostart_enabled(te_autostart_host host) {
    std::string path = te_autostart_path(host);
    std::error_code ec;
    return !path.empty() && std::filesystem::is_regular_file(path, ec);
}
