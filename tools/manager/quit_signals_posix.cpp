#include "quit_signals.h"

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>

namespace {

// The handler only writes the signal's number to this pipe; the event loop
// reads it.
int te_signal_pipe[2] = {-1, -1};
std::function<void()> te_refresh;

void te_on_signal(int signal) {
    char byte = (char)signal;
    ssize_t written = ::write(te_signal_pipe[1], &byte, 1);
    (void)written;
}

void te_catch(int signal) {
    struct sigaction action = {};
    action.sa_handler = te_on_signal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(signal, &action, nullptr);
}

}  // namespace

void te_quit_on_stop_signals(std::function<void()> stop) {
    if (::pipe(te_signal_pipe) != 0) return;
    for (int fd : te_signal_pipe) ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    auto* notifier = new QSocketNotifier(te_signal_pipe[0], QSocketNotifier::Read, qApp);
    QObject::connect(notifier, &QSocketNotifier::activated, qApp, [stop] {
        char byte = 0;
        if (::read(te_signal_pipe[0], &byte, 1) == 1 && byte == SIGUSR1) {
            if (te_refresh) te_refresh();
            return;
        }
        stop();
    });
    te_catch(SIGTERM);
    te_catch(SIGINT);
}

const char* te_refresh_on_signal(std::function<void()> refresh) {
    if (te_signal_pipe[0] < 0) return "";
    te_refresh = std::move(refresh);
    te_catch(SIGUSR1);
    return "SIGUSR1";
}
