// The polling library's one desktop: X11 with the watch of the desktop
// "none", a plain sleep, so the worker polls the clipboard as it did
// before it was told of changes.
#include "desktop_choice.h"
#include "desktops.h"

namespace {

te_desktop te_polling_x11() {
    te_desktop d = te_desktop_x11;
    d.watch_open = te_desktop_none.watch_open;
    d.watch_wait = te_desktop_none.watch_wait;
    d.watch_close = te_desktop_none.watch_close;
    d.watch_next_key = te_desktop_none.watch_next_key;
    d.keys_hold_begin = te_desktop_none.keys_hold_begin;
    d.keys_hold_end = te_desktop_none.keys_hold_end;
    return d;
}

// Both tables are constant: they are filled before this copy is made.
const te_desktop te_desktop_polling = te_polling_x11();

}  // namespace

const te_desktop* const te_desktops_linked[] = {&te_desktop_polling, nullptr};
