// A desktop with nothing to watch: waiting is a sleep that watch_wake()
// cuts short, so the worker polls and still stops at once.
#include "platform.h"
#include "wake.h"

int watch_open(int what) {
    (void)what;
    return 0;
}

int watch_wait(int ms) {
    te_wake_poll(-1, ms);
    return 0;
}

int watch_next_key(te_key_event* out) {
    (void)out;
    return 0;
}

void watch_close(void) {}

// No keys are watched, so none are held.
int keys_hold_begin(void) { return TE_HOLD_NONE; }

void keys_hold_end(void) {}
