// Quitting cleanly when the system asks: another host stopping this one
// (te_instance_stop sends SIGTERM), Ctrl-C in a terminal, the end of the
// session. `stop` runs on the event loop's thread: it keeps what must be
// kept, stops the engine and ends the event loop, whatever the window is
// doing (hidden in the tray, holding unsaved text). One implementation per
// platform; the build picks it.
#ifndef TE_MANAGER_QUIT_SIGNALS_H
#define TE_MANAGER_QUIT_SIGNALS_H

#include <functional>

// Call once, after the QApplication exists.
void te_quit_on_stop_signals(std::function<void()> stop);

// Another process (`te status`) asks for the window's status afresh:
// `refresh` runs on the event loop's thread, so the window need not look
// for a new count while idle. Call after te_quit_on_stop_signals. The
// signal's name for the published status ("SIGUSR1"), or "" where no
// signal asks.
const char* te_refresh_on_signal(std::function<void()> refresh);

#endif
