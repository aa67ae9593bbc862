// Typing on KDE Plasma: the keys of the user's layout through KWin's fake
// input, Shift and AltGr held where a character needs them; what the
// layout lacks is pasted (paste_typing.h). The typing starts once the user
// has let go of every key, as on the other Wayland desktops; the keys go
// through KWin, never through the devices the key watch reads.
#include "fake_input.h"
#include "held_keys.h"
#include "kde_desktop.h"
#include "kde_paste.h"
#include "key_release.h"
#include "kwin_front.h"
#include "paste_typing.h"
#include "user_layout.h"
#include "utf8_codec.h"

#include <mutex>

namespace {

// Two typists at once would interleave their keys and pastes.
std::mutex te_typing_lock;

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

const te_paste_desktop te_kde_typist = {te_type_keys, te_kde_save_clipboard, te_kde_paste, te_kde_restore_clipboard};

}  // namespace

int te_kde_type_text_utf8(const char* text, int dry_run) { return te_kde_type_replacing(0, text, dry_run); }

int te_kde_press_key(int key, int count, int dry_run) {
    return te_paste_press_key(te_kde_typist, te_typing_lock, key, count, dry_run);
}

int te_kde_type_replacing(int erase_count, const char* text, int dry_run) {
    std::vector<std::uint32_t> cps = te_utf8_decode(text ? text : "");
    if (erase_count <= 0 && cps.empty()) return -1;
    if (dry_run) return -3;
    std::lock_guard<std::mutex> hold(te_typing_lock);
    te_wait_keys_released(te_wl_any_key_held, nullptr);
    std::string front;
    if (te_kde_front_class(&front) == 0) return -3;
    return te_paste_typing(te_kde_typist, te_user_layout(), erase_count > 0 ? erase_count : 0, cps);
}
