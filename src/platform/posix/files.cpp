// File access on POSIX systems: UTF-8 paths are native here.
#include "platform.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

// Only regular files are read: a folder in the store's place is not a file
// whose content could be taken or kept.
FILE* file_open_read(const char* path) {
    FILE* f = std::fopen(path, "rb");
    struct stat st;
    if (f && (fstat(fileno(f), &st) != 0 || !S_ISREG(st.st_mode))) {
        std::fclose(f);
        return nullptr;
    }
    return f;
}

FILE* file_open_write(const char* path) { return std::fopen(path, "wb"); }

int file_commit_close(FILE* f) {
    int failed = std::fflush(f) != 0;
    if (!failed && fsync(fileno(f)) != 0) failed = 1;
    if (std::fclose(f) != 0) failed = 1;
    return failed ? -1 : 0;
}

// rename() replaces the target atomically on POSIX file systems.
int file_replace(const char* from, const char* to) { return std::rename(from, to) == 0 ? 0 : -1; }

int file_remove(const char* path) { return std::remove(path) == 0 ? 0 : -1; }

void file_make_parent_dirs(const char* path) {
    std::string copy(path);
    for (size_t i = 1; i < copy.size(); i++) {
        if (copy[i] != '/') continue;
        copy[i] = 0;
        mkdir(copy.c_str(), 0777);
        copy[i] = '/';
    }
}

namespace {

// Joins dir + tail into out[size]; 0 when it does not fit.
int te_join_path(char* out, int size, const char* dir, const char* tail) {
    size_t need = std::strlen(dir) + std::strlen(tail) + 1;
    if (need > (size_t)size) return 0;
    std::snprintf(out, (size_t)size, "%s%s", dir, tail);
    return 1;
}

const char* te_env_nonempty(const char* name) {
    const char* v = std::getenv(name);
    return (v && v[0]) ? v : nullptr;
}

}  // namespace

// APPDATA wins (a host may set it on every platform), then the XDG config
// folder, then ~/.config.
int default_store_path(char* out, int size) {
    const char* tail = "/Wrenfold/snippets.json";
    if (const char* app = te_env_nonempty("APPDATA")) return te_join_path(out, size, app, tail);
    if (const char* xdg = te_env_nonempty("XDG_CONFIG_HOME")) return te_join_path(out, size, xdg, tail);
    if (const char* home = te_env_nonempty("HOME"))
        return te_join_path(out, size, home, "/.config/Wrenfold/snippets.json");
    return 0;
}
