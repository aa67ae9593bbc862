// The instance lock on POSIX systems: flock on a file in a per-user folder.
#include "instance.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "instance_status.h"

namespace {

// A probe by another process (te_instance_query) holds the lock for a few
// microseconds; a start that meets one tries again this often.
const int TE_ACQUIRE_TRIES = 5;
const int TE_ACQUIRE_RETRY_MS = 10;
const int TE_STOP_POLL_MS = 20;

void te_sleep_ms(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

void te_make_dirs(const std::string& dir) {
    for (std::size_t i = 1; i <= dir.size(); i++) {
        if (i < dir.size() && dir[i] != '/') continue;
        mkdir(dir.substr(0, i).c_str(), 0700);
    }
}

std::string te_parent_of(const std::string& path) {
    std::size_t cut = path.rfind('/');
    return cut == std::string::npos || cut == 0 ? "/" : path.substr(0, cut);
}

bool te_write_all(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += (std::size_t)n;
    }
    return true;
}

std::string te_read_all(const std::string& path) {
    std::string out;
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return out;
    char buf[4096];
    ssize_t n;
    while ((n = read(fd, buf, sizeof buf)) > 0) out.append(buf, (std::size_t)n);
    close(fd);
    return out;
}

// Replaces `path` with `text` through "<path>.tmp" and a rename; the file
// is readable by its user alone whatever the umask.
void te_write_replace(const std::string& path, const std::string& text) {
    std::string tmp = path + ".tmp";
    int fd = open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) return;
    fchmod(fd, 0600);
    bool ok = te_write_all(fd, text);
    if (close(fd) != 0) ok = false;
    if (!ok || rename(tmp.c_str(), path.c_str()) != 0) unlink(tmp.c_str());
}

// The holder's status: the pid it wrote into the lock file, and what it
// published beside it when that is its own (a status left by an earlier
// holder that was killed names another pid and is ignored).
te_instance_info te_holder_info(const std::string& lock_path) {
    long lock_pid = std::atol(te_read_all(lock_path).c_str());
    te_instance_info info;
    te_instance_status_parse(te_read_all(lock_path + ".json"), &info);
    if (lock_pid > 0 && info.pid != lock_pid) {
        info = te_instance_info();
        info.pid = lock_pid;
    }
    return info;
}

std::string te_refusal(const std::string& lock_path) {
    te_instance_info info = te_holder_info(lock_path);
    if (info.pid <= 0) return "te is already running (" + lock_path + " is locked)";
    std::string who = "pid " + std::to_string(info.pid);
    if (!info.host.empty()) who += ", " + info.host;
    return "te is already running (" + who + ")";
}

bool te_try_lock(int fd) {
    for (int i = 0; i < TE_ACQUIRE_TRIES; i++) {
        if (flock(fd, LOCK_EX | LOCK_NB) == 0) return true;
        if (errno != EWOULDBLOCK && errno != EINTR) return false;
        te_sleep_ms(TE_ACQUIRE_RETRY_MS);
    }
    return false;
}

}  // namespace

bool te_instance_lock::acquire(const std::string& store_path, std::string* error) {
    if (fd_ >= 0) return true;
    std::string path = te_instance_lock_path(store_path);
    te_make_dirs(te_parent_of(path));
    int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        if (error) *error = "cannot open " + path + ": " + std::strerror(errno);
        return false;
    }
    fchmod(fd, 0600);
    if (!te_try_lock(fd)) {
        int err = errno;
        if (error)
            *error = err == EWOULDBLOCK ? te_refusal(path)
                                        : "cannot lock " + path + ": " + std::strerror(err);
        close(fd);
        return false;
    }
    unlink((path + ".json").c_str());  // an earlier holder's, if it was killed
    if (ftruncate(fd, 0) == 0) te_write_all(fd, std::to_string((long)getpid()) + "\n");
    fd_ = fd;
    path_ = path;
    return true;
}

void te_instance_lock::publish(const te_instance_info& info) {
    if (fd_ >= 0) te_write_replace(path_ + ".json", te_instance_status_json(info));
}

void te_instance_lock::release() {
    if (fd_ < 0) return;
    // The lock file itself stays: removing it would let a second process
    // lock a fresh file while a third still holds the old one.
    unlink((path_ + ".json").c_str());
    // A pid left behind is harmless: readers trust it only while the lock
    // is held.
    int cleared = ftruncate(fd_, 0);
    (void)cleared;
    flock(fd_, LOCK_UN);
    close(fd_);
    fd_ = -1;
}

te_instance_lock::~te_instance_lock() { release(); }

bool te_instance_query(const std::string& store_path, te_instance_info* out) {
    std::string path = te_instance_lock_path(store_path);
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    bool held = flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    close(fd);  // drops the probe's shared lock, if it got one
    if (held && out) *out = te_holder_info(path);
    return held;
}

int te_instance_stop(const std::string& store_path, int timeout_ms, std::string* error) {
    te_instance_info info;
    if (!te_instance_query(store_path, &info)) return 0;
    int sent = info.pid > 0 ? kill((pid_t)info.pid, SIGTERM) : -1;
    int err = errno;
    if (sent != 0) {
        if (!te_instance_query(store_path, nullptr)) return 1;  // it ended meanwhile
        if (error)
            *error = info.pid <= 0 ? "cannot tell which process holds " + te_instance_lock_path(store_path)
                                   : "cannot signal pid " + std::to_string(info.pid) + ": " + std::strerror(err);
        return -1;
    }
    for (int waited = 0; waited < timeout_ms; waited += TE_STOP_POLL_MS) {
        te_sleep_ms(TE_STOP_POLL_MS);
        if (!te_instance_query(store_path, nullptr)) return 1;
    }
    if (error)
        *error = "pid " + std::to_string(info.pid) + " still runs after " + std::to_string(timeout_ms) + " ms";
    return -1;
}
