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
#include <mutex>
#include <string>
#include <vector>

// What a desktop does for the typing; each returns 1 on success, 0 not.
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
};

// press_key (platform.h): the caret key `key` pressed `count` times through
// d.type_keys in the user's layout (every layout has Left and Delete),
// `typing` held meanwhile; results as press_key.
int te_paste_press_key(const te_paste_desktop& d, std::mutex& typing, int key, int count, int dry_run);

// BackSpace `erase_count` times, then the text `cps`: 0 when all of it was
// handed over, -2 when a step failed (the steps before it stay done).
int te_paste_typing(const te_paste_desktop& d, const te_layout_keys& layout, int erase_count,
                    const std::vector<std::uint32_t>& cps);

#endif
