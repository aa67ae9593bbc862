// Typing on a desktop that presses the keys of the user's layout (KWin's
// fake input, Mutter's remote desktop): what the layout has goes as keys,
// the rest is pasted (paste_plan.h), and the user's clipboard is saved
// before the first paste and given back whole afterwards, also when the
// typing fails half-way.
#ifndef TE_PASTE_TYPING_H
#define TE_PASTE_TYPING_H

#include "clipboard_keeper.h"
#include "layout_keys.h"

#include <cstdint>
#include <string>
#include <vector>

// What a desktop does for the typing; each but `ready` returns 1 on
// success, 0 not.
struct te_paste_desktop {
    // Presses and releases, in order, the keys typing `syms`, every one of
    // which `layout` has.
    int (*type_keys)(const te_layout_keys& layout, const std::vector<std::uint32_t>& syms);
    // Saves every format of the clipboard (none when it is empty).
    int (*save)(te_clip_contents* out);
    // Puts `text` on the clipboard, presses the paste chord and waits until
    // the program in front has read it.
    int (*paste)(const std::string& text);
    // Gives the saved clipboard back (a cleared one when it was empty).
    int (*restore)(const te_clip_contents& saved);
    // Before the first key, with the user's keys let go: 0 when there is
    // somewhere to type, else what the typing returns (-2, -3).
    int (*ready)(void);
};

// type_replacing (platform.h) through `d`: once the user has let go of
// every key, BackSpace `erase_count` times, then `text`, in the user's
// layout; -2 when a step failed (the steps before it stay done).
int te_paste_type_replacing(const te_paste_desktop& d, int erase_count, const char* text, int dry_run);

// press_key (platform.h) through d.type_keys in the user's layout (every
// layout has Left and Delete).
int te_paste_press_key(const te_paste_desktop& d, int key, int count, int dry_run);

#endif
