#include "quit_signals.h"

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>

namespace {

// The handler only writes a byte to this pipe; the event loop reads it.
int te_signal_pipe[2] = {-1, -1};

void te_on_stop_signal(int) {
    char byte = 1;
    ssize_t written = ::write(te_signal_pipe[1], &byte, 1);
    (void)written;
}

}  // namespace

void te_quit_on_stop_signals(std::function<void()> stop) {
    if (::pipe(te_signal_pipe) != 0) return;
    for (int fd : te_signal_pipe) ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    auto* notifier = new QSocketNotifier(te_signal_pipe[0], QSocketNotifier::Read, qApp);
    QObject::connect(notifier, &QSocketNotifier::activated, qApp, [stop] {
        char byte;
        ssize_t got = ::read(te_signal_pipe[0], &byte, 1);
        (void)got;
        stop();
    });
    struct sigaction action = {};
    action.sa_handler = te_on_stop_signal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);
}
