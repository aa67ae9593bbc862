#include "kwin_trust.h"

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

const char* const TE_FAKE_INPUT = "org_kde_kwin_fake_input";

std::string te_env_or(const char* name, const std::string& fallback) {
    const char* v = std::getenv(name);
    return v && v[0] ? v : fallback;
}

// $XDG_DATA_HOME (else ~/.local/share); "" when neither can be told.
std::string te_user_data_dir() {
    const char* home = std::getenv("HOME");
    return te_env_or("XDG_DATA_HOME", home && home[0] ? std::string(home) + "/.local/share" : "");
}

// The applications folders KWin looks in, the user's first.
std::vector<std::string> te_application_dirs() {
    std::vector<std::string> dirs;
    if (!te_user_data_dir().empty()) dirs.push_back(te_user_data_dir() + "/applications");
    std::stringstream system(te_env_or("XDG_DATA_DIRS", "/usr/local/share:/usr/share"));
    for (std::string dir; std::getline(system, dir, ':');)
        if (!dir.empty()) dirs.push_back(dir + "/applications");
    return dirs;
}

std::string te_real_path(const std::string& path) {
    char buf[PATH_MAX];
    return realpath(path.c_str(), buf) ? buf : "";
}

// A desktop file's string value as it is meant: a backslash before s, n,
// t or r stands for a space, a line break, a tab or a carriage return;
// before any other character, for that character.
std::string te_unescape(const std::string& value) {
    std::string out;
    for (std::size_t i = 0; i < value.size(); i++) {
        char c = value[i];
        if (c == '\\' && i + 1 < value.size()) {
            char n = value[++i];
            c = n == 's' ? ' ' : n == 'n' ? '\n' : n == 't' ? '\t' : n == 'r' ? '\r' : n;
        }
        out += c;
    }
    return out;
}

// The program an Exec= value starts: its first word, unquoted.
std::string te_exec_program(const std::string& value) {
    std::string exec = te_unescape(value), word;
    bool quoted = false;
    for (std::size_t i = 0; i < exec.size(); i++) {
        char c = exec[i];
        if (c == '"') quoted = !quoted;
        else if (c == '\\' && quoted && i + 1 < exec.size()) word += exec[++i];
        else if (c == ' ' && !quoted) break;
        else word += c;
    }
    return word;
}

// Whether the desktop file at `path` lets `program` use fake input.
bool te_entry_trusts(const std::string& path, const std::string& program) {
    std::ifstream in(path);
    std::string line, exec;
    bool fake_input = false;
    const std::string exec_key = "Exec=", interfaces_key = "X-KDE-Wayland-Interfaces=";
    while (std::getline(in, line)) {
        if (line.compare(0, exec_key.size(), exec_key) == 0) exec = te_exec_program(line.substr(exec_key.size()));
        if (line.compare(0, interfaces_key.size(), interfaces_key) == 0)
            fake_input = line.find(TE_FAKE_INPUT) != std::string::npos;
    }
    return fake_input && !exec.empty() && te_real_path(exec) == program;
}

// Exec= holds the path quoted; inside the quotes ", `, $ and \ take a
// backslash, which the desktop file's own escaping doubles.
std::string te_exec_value(const std::string& program) {
    std::string out = "\"";
    for (char c : program) {
        if (c == '"' || c == '`' || c == '$') out += "\\\\";
        else if (c == '\\') out += "\\\\\\";
        out += c;
    }
    return out + "\"";
}

// A name for the file that differs with the path (FNV-1a).
std::string te_file_name(const std::string& program) {
    std::uint64_t h = 14695981039346656037ULL;
    for (unsigned char c : program) h = (h ^ c) * 1099511628211ULL;
    char name[64];
    std::snprintf(name, sizeof name, "velmora-fake-input-%016llx.desktop", (unsigned long long)h);
    return name;
}

bool te_make_dirs(const std::string& dir) {
    for (std::size_t at = 1; at <= dir.size(); at++) {
        if (at < dir.size() && dir[at] != '/') continue;
        if (mkdir(dir.substr(0, at).c_str(), 0755) != 0 && errno != EEXIST) return false;
    }
    return true;
}

}  // namespace

std::string te_own_program_path() {
    char buf[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    return n > 0 ? std::string(buf, (std::size_t)n) : "";
}

bool te_kwin_trusts(const std::string& program) {
    std::string real = te_real_path(program);
    if (real.empty()) return false;
    for (const std::string& dir : te_application_dirs()) {
        DIR* d = opendir(dir.c_str());
        if (!d) continue;
        bool found = false;
        while (dirent* e = readdir(d)) {
            std::string name = e->d_name;
            if (name.size() > 8 && name.compare(name.size() - 8, 8, ".desktop") == 0 &&
                te_entry_trusts(dir + "/" + name, real))
                found = true;
        }
        closedir(d);
        if (found) return true;
    }
    return false;
}

bool te_kwin_trust_write(const std::string& program, std::string* path, std::string* error) {
    for (char c : program)
        if ((unsigned char)c < 0x20 || c == 0x7f) {
            *error = "the path holds a control character";
            return false;
        }
    std::string dir = te_user_data_dir();
    if (dir.empty()) {
        *error = "neither XDG_DATA_HOME nor HOME is set";
        return false;
    }
    dir += "/applications";
    *path = dir + "/" + te_file_name(program);
    std::string base = program.substr(program.rfind('/') + 1);
    std::ofstream out;
    if (te_make_dirs(dir)) out.open(*path, std::ios::trunc);
    out << "[Desktop Entry]\nType=Application\nName=" << base << " (typing on KDE Plasma)\n"
        << "Comment=Lets KWin take the typing of " << base << " through its fake input\n"
        << "Exec=" << te_exec_value(program) << "\nNoDisplay=true\nX-KDE-Wayland-Interfaces=" << TE_FAKE_INPUT << "\n";
    out.close();
    if (!out) *error = "cannot write " + *path + ": " + std::strerror(errno);
    return (bool)out;
}
