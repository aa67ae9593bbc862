#include "quit_signals.h"

// Windows ends a GUI program with WM_QUIT or the session's end, which reach
// the window through Qt (commitDataRequest); there is no signal to catch.
void te_quit_on_stop_signals(std::function<void()>) {}

const char* te_refresh_on_signal(std::function<void()>) { return ""; }
