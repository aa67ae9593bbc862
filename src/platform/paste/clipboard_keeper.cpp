// The keeper is forked, twice, so that it is nobody's child to reap; it
// closes every descriptor it inherited (a lock file held by the host must
// not outlive the host) but its end of the pipe that says it is ready. The
// fork copies the saved clipboard; the keeper touches no state of the
// engine's, only connections it makes itself, and ends with _exit.
#include "clipboard_keeper.h"

#include "fd_io.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const int TE_KEEPER_READY_MS = 3000;

void te_say_ready(void* ctx) {
    int fd = *static_cast<int*>(ctx);
    if (fd < 0) return;
    const char one = 1;
    ssize_t n = write(fd, &one, 1);
    (void)n;
    close(fd);
    *static_cast<int*>(ctx) = -1;
}

// Leaves only standard input, output, error (pointed at /dev/null) and
// `keep` open.
void te_close_inherited(int keep) {
    int null = open("/dev/null", O_RDWR);
    for (int fd = 0; fd < 3 && null >= 0; fd++) dup2(null, fd);
    long max = sysconf(_SC_OPEN_MAX);
    for (int fd = 3; fd < (max > 0 ? max : 1024); fd++)
        if (fd != keep) close(fd);
}

[[noreturn]] void te_keeper(const te_clip_contents& contents, te_clip_serve serve, int ready_fd) {
    setsid();
    signal(SIGPIPE, SIG_IGN);
    sigset_t none;
    sigemptyset(&none);
    pthread_sigmask(SIG_SETMASK, &none, nullptr);
    if (fork() != 0) _exit(0);
    te_close_inherited(ready_fd);
    serve(contents, te_say_ready, &ready_fd);
    _exit(0);
}

}  // namespace

int te_clipboard_keep(const te_clip_contents& contents, te_clip_serve serve) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return 0;
    pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        te_keeper(contents, serve, fds[1]);
    }
    close(fds[1]);
    if (pid < 0) {
        close(fds[0]);
        return 0;
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    std::string said;
    int ok = te_fd_read_all(fds[0], &said, TE_KEEPER_READY_MS, 1) && said.size() == 1;
    close(fds[0]);
    return ok;
}
