// Whether a window can receive the keystrokes this process sends. Windows
// drops, without a word, input that a process sends to a window of a
// process running at a higher integrity level (an elevated program, when
// this one is not): User Interface Privilege Isolation.
#ifndef TE_WIN32_INTEGRITY_H
#define TE_WIN32_INTEGRITY_H

#include <windows.h>

// 1 when the process owning `window` runs at a higher integrity level than
// this one; 0 when it does not or that cannot be told.
int te_runs_above_us(HWND window);

#endif
