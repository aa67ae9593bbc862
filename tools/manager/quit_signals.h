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

#endif
