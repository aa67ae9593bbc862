#include "quit_signals.h"

// Windows ends a GUI program with WM_CLOSE / WM_QUIT, which Qt turns into
// the same orderly quit; there is nothing to catch here.
void te_quit_on_stop_signals() {}
