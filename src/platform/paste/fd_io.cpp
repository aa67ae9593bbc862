#include "fd_io.h"

#include <cerrno>
#include <csignal>
#include <ctime>
#include <poll.h>
#include <pthread.h>
#include <unistd.h>

namespace {

// 1 when `fd` is ready for `events` within wait_ms.
int te_ready(int fd, short events, int wait_ms) {
    struct pollfd p = {fd, events, 0};
    int n;
    do n = poll(&p, 1, wait_ms);
    while (n < 0 && errno == EINTR);
    return n > 0;
}

// A write into a pipe whose reader has gone raises SIGPIPE, which ends the
// process unless the host ignores it, and a library may not change that:
// the signal is blocked in this thread for the write, and the one it
// raised is taken back before it is unblocked.
ssize_t te_write_quietly(int fd, const char* data, std::size_t size) {
    sigset_t pipe_only, old, pending;
    sigemptyset(&pipe_only);
    sigaddset(&pipe_only, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipe_only, &old);
    sigpending(&pending);
    bool was_pending = sigismember(&pending, SIGPIPE) == 1;
    ssize_t n = write(fd, data, size);
    int error = errno;
    if (n < 0 && error == EPIPE && !was_pending) {
        const struct timespec now = {0, 0};
        while (sigtimedwait(&pipe_only, nullptr, &now) < 0 && errno == EINTR) {
        }
    }
    pthread_sigmask(SIG_SETMASK, &old, nullptr);
    errno = error;
    return n;
}

}  // namespace

int te_fd_read_all(int fd, std::string* out, int wait_ms, std::size_t cap) {
    out->clear();
    char buf[65536];
    for (;;) {
        if (!te_ready(fd, POLLIN, wait_ms)) return 0;
        ssize_t n = read(fd, buf, sizeof buf);
        if (n == 0) return 1;
        if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        if (n < 0 || out->size() + (std::size_t)n > cap) return 0;
        out->append(buf, (std::size_t)n);
    }
}

int te_fd_write_all(int fd, const std::string& data, int wait_ms) {
    std::size_t done = 0;
    while (done < data.size()) {
        if (!te_ready(fd, POLLOUT, wait_ms)) return 0;
        ssize_t n = te_write_quietly(fd, data.data() + done, data.size() - done);
        if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        if (n <= 0) return 0;
        done += (std::size_t)n;
    }
    return 1;
}
