#include "paste_typing.h"

#include "engine_keymap.h"
#include "held_keys.h"
#include "key_release.h"
#include "paste_plan.h"
#include "platform.h"
#include "user_layout.h"
#include "utf8_codec.h"

#include <mutex>
#include <xkbcommon/xkbcommon-keysyms.h>

namespace {

// Two typists at once would interleave their keys and pastes.
std::mutex te_typing_lock;

// One character to send: its keysym (0: it has no key) and its text.
struct te_char {
    std::uint32_t cp = 0;
    std::uint32_t sym = 0;
};

// A carriage return followed by a line feed is one line break; control
// characters without a key are left out.
std::vector<te_char> te_chars(int erase_count, const std::vector<std::uint32_t>& cps) {
    std::vector<te_char> out;
    for (int i = 0; i < erase_count; i++) out.push_back(te_char{0x08, XKB_KEY_BackSpace});
    for (std::size_t i = 0; i < cps.size(); i++) {
        if (cps[i] == '\r' && i + 1 < cps.size() && cps[i + 1] == '\n') continue;
        std::uint32_t sym = te_wl_keysym_for_char(cps[i]);
        if (sym) out.push_back(te_char{cps[i] == '\r' ? '\n' : cps[i], sym});
    }
    return out;
}

int te_type_run(const te_paste_desktop& d, const te_layout_keys& layout, const std::vector<te_char>& chars,
                const te_paste_step& s) {
    std::vector<std::uint32_t> syms;
    for (std::size_t i = s.from; i < s.to; i++) syms.push_back(chars[i].sym);
    return d.type_keys(layout, syms);
}

int te_paste_run(const te_paste_desktop& d, const std::vector<te_char>& chars, const te_paste_step& s) {
    std::string text;
    for (std::size_t i = s.from; i < s.to; i++) te_utf8_append(text, chars[i].cp);
    return d.paste(text);
}

int te_paste_typing(const te_paste_desktop& d, const te_layout_keys& layout, int erase_count,
                    const std::vector<std::uint32_t>& cps) {
    std::vector<te_char> chars = te_chars(erase_count, cps);
    std::vector<bool> typeable;
    for (const te_char& c : chars) typeable.push_back(te_layout_key_for(layout, c.sym) != nullptr);
    bool saved = false;
    te_clip_contents user;
    int ok = 1;
    for (const te_paste_step& s : te_paste_plan(typeable)) {
        if (!s.paste) {
            ok = te_type_run(d, layout, chars, s);
        } else {
            // A clipboard that cannot be saved is not replaced.
            if (!saved) saved = d.save(&user) != 0;
            ok = saved ? te_paste_run(d, chars, s) : 0;
        }
        if (!ok) break;
    }
    if (saved && !d.restore(user)) ok = 0;
    return ok ? 0 : -2;
}

}  // namespace

int te_paste_type_replacing(const te_paste_desktop& d, int erase_count, const char* text, int dry_run) {
    std::vector<std::uint32_t> cps = te_utf8_decode(text ? text : "");
    if (erase_count <= 0 && cps.empty()) return -1;
    if (dry_run) return -3;
    std::lock_guard<std::mutex> hold(te_typing_lock);
    te_wait_keys_released(te_wl_any_key_held, nullptr);
    int not_ready = d.ready();
    if (not_ready) return not_ready;
    return te_paste_typing(d, te_user_layout(), erase_count > 0 ? erase_count : 0, cps);
}

int te_paste_press_key(const te_paste_desktop& d, int key, int count, int dry_run) {
    std::uint32_t sym = key == TE_PRESS_LEFT ? XKB_KEY_Left : key == TE_PRESS_DELETE ? XKB_KEY_Delete : 0;
    if (!sym || count <= 0) return -1;
    if (dry_run) return -3;
    std::lock_guard<std::mutex> hold(te_typing_lock);
    return d.type_keys(te_user_layout(), std::vector<std::uint32_t>((std::size_t)count, sym)) ? 0 : -2;
}
