// An advisory lock between processes: flock on a lock file. The kernel lets
// the lock go when its holder exits, however it exits, so a crashed process
// never keeps others out.
#include "file_lock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <time.h>
#include <unistd.h>

namespace {

long long te_monotonic_ms(void) {
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return (long long)ts.tv_sec * 1000 + ts.tv_nsec / 1000000;
}

}  // namespace

// Tries without blocking, once a millisecond: a writer that takes the lock
// again and again leaves it free only for moments between its edits, and
// a waiter that looks seldom would miss them all. A lock kept for good
// ends the wait after about wait_ms.
te_lock_status te_posix_file_lock(const char* path, int wait_ms, te_file_lock* out) {
    int fd = open(path, O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return TE_LOCK_UNAVAILABLE;
    long long deadline = te_monotonic_ms() + wait_ms;
    while (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK && errno != EINTR) {
            close(fd);
            return TE_LOCK_UNAVAILABLE;
        }
        if (te_monotonic_ms() >= deadline) {
            close(fd);
            return TE_LOCK_BUSY;
        }
        struct timespec one_ms = {0, 1000000L};
        nanosleep(&one_ms, nullptr);
    }
    *out = fd;
    return TE_LOCK_TAKEN;
}

void te_posix_file_unlock(te_file_lock lock) {
    flock((int)lock, LOCK_UN);
    close((int)lock);
}
