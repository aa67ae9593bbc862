// Typing on KDE Plasma: the keys of the user's layout through KWin's fake
// input, Shift and AltGr held where a character needs them; what the
// layout lacks is pasted (paste_typing.h). The typing starts once the user
// has let go of every key, as on the other Wayland desktops; the keys go
// through KWin, never through the devices the key watch reads.
#include "fake_input.h"
#include "kde_desktop.h"
#include "kde_paste.h"
#include "kwin_front.h"
#include "paste_typing.h"

#include <mutex>

namespace {

void te_press(std::vector<te_kde_key>& keys, int code, bool pressed) { keys.push_back(te_kde_key{code, pressed}); }

int te_type_keys(const te_layout_keys& layout, const std::vector<std::uint32_t>& syms) {
    std::vector<te_kde_key> keys;
    for (std::uint32_t sym : syms) {
        const te_layout_key* k = te_layout_key_for(layout, sym);
        if (!k) return 0;
        if (k->mods & TE_LAYOUT_SHIFT) te_press(keys, layout.shift_code, true);
        if (k->mods & TE_LAYOUT_LEVEL3) te_press(keys, layout.level3_code, true);
        te_press(keys, k->code, true);
        te_press(keys, k->code, false);
        if (k->mods & TE_LAYOUT_LEVEL3) te_press(keys, layout.level3_code, false);
        if (k->mods & TE_LAYOUT_SHIFT) te_press(keys, layout.shift_code, false);
    }
    return te_kde_fake_input_keys(keys);
}

// With no active window there is nowhere to type.
int te_ready() {
    std::string front;
    return te_kde_front_class(&front) == 0 ? -3 : 0;
}

const te_paste_desktop te_kde_typist = {te_type_keys, te_kde_save_clipboard, te_kde_paste, te_kde_restore_clipboard,
                                        te_ready};

}  // namespace

int te_kde_type_text_utf8(const char* text, int dry_run) { return te_kde_type_replacing(0, text, dry_run); }

int te_kde_press_key(int key, int count, int dry_run) { return te_paste_press_key(te_kde_typist, key, count, dry_run); }

int te_kde_type_replacing(int erase_count, const char* text, int dry_run) {
    return te_paste_type_replacing(te_kde_typist, erase_count, text, dry_run);
}
