// Quitting cleanly when the system asks: another host stopping this one
// (te_instance_stop sends SIGTERM), Ctrl-C in a terminal. The event loop
// ends as after Quit, so the engine is stopped and the instance lock let
// go in order. One implementation per platform; the build picks it.
#ifndef TE_MANAGER_QUIT_SIGNALS_H
#define TE_MANAGER_QUIT_SIGNALS_H

// Call once, after the QApplication exists.
void te_quit_on_stop_signals();

#endif
