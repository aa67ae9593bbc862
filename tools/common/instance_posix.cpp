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

#include "file_watch.h"
#include "instance_status.h"
#include "private_file.h"

namespace {

// A probe by another process (te_instance_query) holds the lock for a few
// microseconds; a start that meets one tries again this often.
const int TE_ACQUIRE_TRIES = 5;
const int TE_ACQUIRE_RETRY_MS = 10;
const int TE_STOP_POLL_MS = 20;

void te_sleep_ms(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

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
    if (handle_ >= 0) return true;
    std::string path = te_instance_lock_path(store_path);
    te_make_parent_dirs(path);
    int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        if (error) *error = "cannot open " + path + ": " + std::strerror(errno);
        return false;
    }
    fchmod(fd, 0600);
    if (!te_try_lock(fd)) {
        int err = errno;
        if (error)
            *error = err == EWOULDBLOCK ? te_instance_refusal(path, te_holder_info(path))
                                        : "cannot lock " + path + ": " + std::strerror(err);
        close(fd);
        return false;
    }
    unlink((path + ".json").c_str());  // an earlier holder's, if it was killed
    // The pid, for readers that come before the first status. Another
    // descriptor on the file does not touch the lock: flock locks belong to
    // this open file, not to the process.
    te_write_private(path, std::to_string((long)getpid()) + "\n", nullptr);
    handle_ = fd;
    path_ = path;
    return true;
}

void te_instance_lock::publish(const te_instance_info& info) {
    if (handle_ >= 0) te_replace_private(path_ + ".json", te_instance_status_json(info), nullptr);
}

void te_instance_lock::release() {
    if (handle_ < 0) return;
    // The lock file itself stays: removing it would let a second process
    // lock a fresh file while a third still holds the old one.
    unlink((path_ + ".json").c_str());
    te_write_private(path_, "", nullptr);
    flock((int)handle_, LOCK_UN);
    close((int)handle_);
    handle_ = -1;
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

void te_instance_refresh(const std::string& store_path, int timeout_ms) {
    te_instance_info info;
    if (!te_instance_query(store_path, &info) || info.refresh != "SIGUSR1" || info.pid <= 0) return;
    te_file_watch status(te_instance_lock_path(store_path) + ".json");
    status.mark_seen();
    if (kill((pid_t)info.pid, SIGUSR1) != 0) return;
    for (int waited = 0; waited < timeout_ms && !status.changed(); waited += TE_STOP_POLL_MS) te_sleep_ms(TE_STOP_POLL_MS);
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
