// File access on POSIX systems: UTF-8 paths are native here.
#include "file_lock.h"
#include "files_seam.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const te_file_stamp te_no_file = {};

// The file a path finally names: symbolic links followed, relative ones
// from the folder of the link, until a path that is no link (or names
// nothing yet). People link their store in from elsewhere (a dotfiles
// repository): a new version goes beside the file linked to and replaces
// it, so the link stays and keeps naming it. A chain too long (a loop)
// stops where it is.
std::string te_final_target(const char* path) {
    std::string at(path);
    for (int hops = 0; hops < 40; hops++) {
        struct stat st;
        if (lstat(at.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) break;
        std::string link((std::size_t)st.st_size + 1, '\0');
        ssize_t n = readlink(at.c_str(), &link[0], link.size());
        if (n <= 0 || (std::size_t)n >= link.size()) break;
        link.resize((std::size_t)n);
        std::size_t slash = at.rfind('/');
        at = link[0] == '/' || slash == std::string::npos ? link : at.substr(0, slash + 1) + link;
    }
    return at;
}

void te_stamp_of(const struct stat& st, te_file_stamp* out) {
    *out = te_no_file;
    if (!S_ISREG(st.st_mode)) return;
    out->exists = 1;
    out->volume = (std::uint64_t)st.st_dev;
    out->index = (std::uint64_t)st.st_ino;
    out->size = (std::int64_t)st.st_size;
    out->mtime_sec = (std::int64_t)st.st_mtim.tv_sec;
    out->mtime_nsec = (std::int64_t)st.st_mtim.tv_nsec;
}

// O_NONBLOCK keeps a FIFO in the store's place from blocking the open; it
// changes nothing for regular files.
FILE* te_open_read(const char* path, te_open_status* status, te_file_stamp* stamp) {
    if (stamp) *stamp = te_no_file;
    int fd = open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        *status = te_open_status_of(errno);
        return nullptr;
    }
    struct stat st;
    *status = TE_OPEN_FAILED;
    if (fstat(fd, &st) != 0) {
        close(fd);
        return nullptr;
    }
    if (!S_ISREG(st.st_mode)) {
        close(fd);
        *status = TE_OPEN_NOT_FOUND;
        return nullptr;
    }
    FILE* f = fdopen(fd, "rb");
    if (!f) {
        close(fd);
        return nullptr;
    }
    if (stamp) te_stamp_of(st, stamp);
    *status = TE_OPEN_OK;
    return f;
}

// Names carry the process id and a count, so two processes (or two writes
// of one) never pick the same file; O_EXCL makes sure of it.
std::atomic<unsigned> te_temp_count{0};

FILE* te_create_temp(const char* target, char* name, int size) {
    std::string beside = te_final_target(target);
    for (int tries = 0; tries < 100; tries++) {
        unsigned n = ++te_temp_count;
        int len = std::snprintf(name, (std::size_t)size, "%s.%ld-%u.tmp", beside.c_str(), (long)getpid(), n);
        if (len < 0 || len >= size) return nullptr;
        int fd = open(name, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0 && errno == EEXIST) continue;
        if (fd < 0) return nullptr;
        // Created 0600, no one else has any access whatever the umask; an
        // odd umask may have taken the user's own bits away, so they are
        // put back where the file system keeps modes at all.
        fchmod(fd, 0600);
        FILE* f = fdopen(fd, "wb");
        if (!f) {
            close(fd);
            unlink(name);
        }
        return f;
    }
    return nullptr;
}

int te_commit_close(FILE* f, te_file_stamp* stamp) {
    int failed = std::fflush(f) != 0;
    if (!failed && fsync(fileno(f)) != 0) failed = 1;
    struct stat st;
    if (!failed && stamp) {
        if (fstat(fileno(f), &st) == 0)
            te_stamp_of(st, stamp);
        else
            failed = 1;
    }
    if (std::fclose(f) != 0) failed = 1;
    return failed ? -1 : 0;
}

int te_stamp(const char* path, te_file_stamp* out) {
    struct stat st;
    if (stat(path, &st) == 0) {
        te_stamp_of(st, out);
        return 0;
    }
    *out = te_no_file;
    return te_open_status_of(errno) == TE_OPEN_NOT_FOUND ? 0 : -1;
}

// rename() replaces the target atomically on POSIX file systems; a link
// stays and names the new file.
int te_replace(const char* from, const char* to) {
    return std::rename(from, te_final_target(to).c_str()) == 0 ? 0 : -1;
}

// A rename is an entry of the folder: only a sync of the folder itself makes
// it last. File systems that cannot sync a folder say so with EINVAL.
int te_sync_folder(const char* path) {
    std::string folder = te_final_target(path);
    std::size_t slash = folder.rfind('/');
    folder = slash == std::string::npos ? "." : slash == 0 ? "/" : folder.substr(0, slash);
    int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return -1;
    int failed = fsync(fd) != 0 && errno != EINVAL && errno != ENOTSUP;
    close(fd);
    return failed ? -1 : 0;
}

int te_remove(const char* path) { return std::remove(path) == 0 ? 0 : -1; }

// Folders made here hold personal data: their user's alone (0700).
void te_make_parent_dirs(const char* path) {
    std::string copy(path);
    for (size_t i = 1; i < copy.size(); i++) {
        if (copy[i] != '/') continue;
        copy[i] = 0;
        mkdir(copy.c_str(), 0700);
        copy[i] = '/';
    }
}

// The lock beside the file a link finally names: the one every name of
// the file shares.
te_lock_status te_lock_guarding(const char* path, int wait_ms, te_file_lock* out) {
    std::string lock_path = te_final_target(path) + ".lock";
    return te_posix_file_lock(lock_path.c_str(), wait_ms, out);
}

const te_file_calls te_system_calls = {
    te_open_read,   te_create_temp, te_commit_close,     te_stamp,         te_replace,
    te_sync_folder, te_remove,      te_make_parent_dirs, te_lock_guarding, te_posix_file_unlock,
};

}  // namespace

// A missing file, or a file where a folder of the path should be: nothing
// can be there.
te_open_status te_open_status_of(int error) {
    return error == ENOENT || error == ENOTDIR ? TE_OPEN_NOT_FOUND : TE_OPEN_FAILED;
}

const te_file_calls& te_files_system(void) { return te_system_calls; }
