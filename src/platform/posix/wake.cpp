// The wake-up pipe. Both ends are non-blocking: a wake-up into a full pipe
// is dropped, as one is already pending, and the waiter empties the pipe
// without blocking.
#include "wake.h"

#include "platform.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace {

// Without a pipe (no file descriptor left) a wait lasts at most this long,
// so the waiting thread still looks at its stop flag often.
const int TE_NO_PIPE_WAIT_MS = 100;

struct te_wake_pipe {
    int read_fd = -1;
    int write_fd = -1;
};

te_wake_pipe te_make_pipe() {
    te_wake_pipe p;
    int fds[2];
    if (pipe2(fds, O_NONBLOCK | O_CLOEXEC) == 0) {
        p.read_fd = fds[0];
        p.write_fd = fds[1];
    }
    return p;
}

const te_wake_pipe& te_pipe() {
    static const te_wake_pipe p = te_make_pipe();
    return p;
}

void te_empty(int fd) {
    char buf[64];
    while (read(fd, buf, sizeof buf) > 0) {
    }
}

}  // namespace

void te_wake_send(void) {
    int fd = te_pipe().write_fd;
    if (fd < 0) return;
    const char one = 1;
    ssize_t written = write(fd, &one, 1);
    (void)written;
}

int te_wake_poll(int fd, int ms) {
    int wake = te_pipe().read_fd;
    if (ms < 0) ms = 0;
    if (wake < 0 && ms > TE_NO_PIPE_WAIT_MS) ms = TE_NO_PIPE_WAIT_MS;
    // poll() skips entries whose descriptor is negative.
    struct pollfd p[2] = {{wake, POLLIN, 0}, {fd, POLLIN, 0}};
    if (poll(p, 2, ms) <= 0) return TE_WAKE_TIMEOUT;
    if (p[0].revents) {
        te_empty(wake);
        return TE_WAKE_WOKEN;
    }
    return TE_WAKE_READY;
}
