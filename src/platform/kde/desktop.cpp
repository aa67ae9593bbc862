// The KDE Plasma desktop's table (KWin 5.27 and later): typing through
// KWin's fake input with the paste path for what the layout lacks, the
// clipboard through data control, the program in front from a KWin
// script, keys read from /dev/input; the POSIX wake-up pipe.
#include "desktops.h"
#include "kde_desktop.h"
#include "wake.h"
#include "wl_desktop.h"

const te_desktop te_desktop_kde = {
    "kde",
    te_kde_type_text_utf8,
    te_kde_type_replacing,
    te_kde_press_key,
    te_wl_get_clipboard_text_utf8,
    te_wl_clipboard_sequence,
    te_kde_foreground_process_name,
    te_wl_key_is_down,
    te_wl_watch_open,
    te_wl_watch_wait,
    te_wake_send,
    te_wl_watch_close,
    te_wl_watch_next_key,
    te_wl_keys_hold_begin,
    te_wl_keys_hold_end,
    te_kde_desktop_missing,
    te_kde_foreground_is_this_process,
};
