// Key states for the hotkey poll, read without any message queue.
#include "platform.h"
#include "win32_desktop.h"

#include <windows.h>

// The most significant bit of GetAsyncKeyState's result is set while the
// key is held; the other bits (pressed since the last call) are ignored.
int te_win32_key_is_down(int vk) { return (GetAsyncKeyState(vk) & 0x8000) ? 1 : 0; }
