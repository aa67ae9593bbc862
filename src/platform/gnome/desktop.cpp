// The GNOME desktop's table (Mutter 43 and later): typing and the
// clipboard through Mutter's remote desktop session, with the paste path
// for what the layout lacks; keys read from /dev/input. Plain Mutter names
// no program in front to other programs, so rules cannot name native
// Wayland programs here.
#include "desktops.h"
#include "gnome_desktop.h"
#include "wake.h"
#include "wl_desktop.h"

const te_desktop te_desktop_gnome = {
    "gnome",
    te_gnome_type_text_utf8,
    te_gnome_type_replacing,
    te_gnome_press_key,
    te_gnome_get_clipboard_text_utf8,
    te_gnome_clipboard_sequence,
    te_gnome_foreground_process_name,
    te_wl_key_is_down,
    te_gnome_watch_open,
    te_gnome_watch_wait,
    te_wake_send,
    te_gnome_watch_close,
    te_gnome_watch_next_key,
    te_gnome_keys_hold_begin,
    te_gnome_keys_hold_end,
    te_gnome_desktop_missing,
    te_gnome_foreground_is_this_process,
};
