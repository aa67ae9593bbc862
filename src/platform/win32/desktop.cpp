// The Windows desktop's table: SendInput, the clipboard and its listener,
// the foreground window's process, low-level keyboard hooks. The DLL has
// this one desktop.
#include "desktops.h"
#include "win32_desktop.h"

const te_desktop te_desktop_win32 = {
    "win32",
    te_win32_type_text_utf8,
    te_win32_type_replacing,
    te_win32_press_key,
    te_win32_get_clipboard_text_utf8,
    te_win32_clipboard_sequence,
    te_win32_foreground_process_name,
    te_win32_key_is_down,
    te_win32_watch_open,
    te_win32_watch_wait,
    te_win32_watch_wake,
    te_win32_watch_close,
    te_win32_watch_next_key,
    te_win32_keys_hold_begin,
    te_win32_keys_hold_end,
    te_desktop_lacks_nothing,
    te_win32_foreground_is_this_process,
};

const te_desktop& te_desktop_in_use(void) { return te_desktop_win32; }
