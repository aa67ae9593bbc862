// The X11 desktop's table: XTest typing, the CLIPBOARD selection, the
// focused window's process, XInput2 keys; the POSIX wake-up pipe.
#include "desktops.h"
#include "wake.h"
#include "x11_desktop.h"

const te_desktop te_desktop_x11 = {
    "x11",
    te_x11_type_text_utf8,
    te_x11_type_replacing,
    te_x11_press_key,
    te_x11_get_clipboard_text_utf8,
    te_x11_clipboard_sequence,
    te_x11_foreground_process_name,
    te_x11_key_is_down,
    te_x11_watch_open,
    te_x11_watch_wait,
    te_wake_send,
    te_x11_watch_close,
    te_x11_watch_next_key,
    te_x11_keys_hold_begin,
    te_x11_keys_hold_end,
    te_desktop_lacks_nothing,
    te_x11_foreground_is_this_process,
};
