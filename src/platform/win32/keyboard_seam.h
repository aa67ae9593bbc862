// The desktop calls the keyboard output makes through pointers, so that
// tests can watch and refuse batches, take the window away and put a more
// trusted program in front. The library itself never changes them.
#ifndef TE_WIN32_KEYBOARD_SEAM_H
#define TE_WIN32_KEYBOARD_SEAM_H

#include <windows.h>

typedef UINT(WINAPI* te_send_input_fn)(UINT count, LPINPUT inputs, int size);
typedef HWND(WINAPI* te_foreground_window_fn)(void);
typedef int (*te_runs_above_us_fn)(HWND window);

struct te_keyboard_calls {
    te_send_input_fn send_input;
    te_foreground_window_fn foreground_window;
    te_runs_above_us_fn runs_above_us;  // null: never
};

// Installs `calls` and returns the ones that were in place.
te_keyboard_calls te_keyboard_swap_calls(te_keyboard_calls calls);

// The system's own SendInput and GetForegroundWindow, and te_runs_above_us.
te_keyboard_calls te_keyboard_system_calls(void);

// Sends `count` records through the SendInput in place: the key watch's
// releases and replays go the way the typing goes. The records accepted.
UINT te_keyboard_send(UINT count, INPUT* inputs);

#endif
