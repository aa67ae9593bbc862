// The Wayland desktop's table, for the wlroots family: typing through a
// virtual keyboard, the clipboard through data control, the program in
// front through foreign toplevels, keys read from /dev/input; the POSIX
// wake-up pipe.
#include "desktops.h"
#include "wake.h"
#include "wl_desktop.h"

const te_desktop te_desktop_wayland = {
    "wayland",
    te_wl_type_text_utf8,
    te_wl_type_replacing,
    te_wl_press_key,
    te_wl_get_clipboard_text_utf8,
    te_wl_clipboard_sequence,
    te_wl_foreground_process_name,
    te_wl_key_is_down,
    te_wl_watch_open,
    te_wl_watch_wait,
    te_wake_send,
    te_wl_watch_close,
    te_wl_watch_next_key,
    te_wl_keys_hold_begin,
    te_wl_keys_hold_end,
    te_wl_desktop_missing,
    te_wl_foreground_is_this_process,
};
