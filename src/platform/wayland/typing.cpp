// Typing a text into the program in front through the engine's virtual
// keyboard. The typing starts once the user has let go of every key
// (a held Ctrl would turn letters into shortcuts), waiting a bounded time;
// the virtual keyboard has modifiers of its own, all off, so a key still
// held after the wait does not change what is typed. Its keys never reach
// the devices the key watch reads, so they are never taken for the user's.
#include "console.h"
#include "engine_keymap.h"
#include "held_keys.h"
#include "key_presses.h"
#include "key_release.h"
#include "platform.h"
#include "toplevels.h"
#include "utf8_codec.h"
#include "virtual_keyboard.h"
#include "wl_connection.h"
#include "wl_desktop.h"

#include <string>
#include <xkbcommon/xkbcommon-keysyms.h>

namespace {

// Two typists at once would interleave their keys and keymaps.
std::mutex te_typing_lock;

// The keysym of each character; a carriage return followed by a line feed
// is one line break, and control characters without a key are left out.
std::vector<te_keysym> te_keysyms(const std::vector<std::uint32_t>& cps) {
    std::vector<te_keysym> out;
    for (std::size_t i = 0; i < cps.size(); i++) {
        if (cps[i] == '\r' && i + 1 < cps.size() && cps[i + 1] == '\n') continue;
        te_keysym ks = te_wl_keysym_for_char(cps[i]);
        if (ks) out.push_back(ks);
    }
    return out;
}

// -3 when no program is in front; the compositor that does not tell which
// one is is trusted to have one.
int te_type_now(const std::vector<te_keysym>& syms) {
    std::lock_guard<std::mutex> hold(te_wl_lock);
    te_wl* c = te_wl_connection_locked();
    if (!c || !te_wl_pump_locked(c)) return -3;
    std::string app_id;
    if (te_wl_front_app_id(&app_id) == 0) return -3;
    return te_wl_virtual_keyboard_type(c, syms) ? 0 : -2;
}

}  // namespace

int te_wl_type_text_utf8(const char* text, int dry_run) { return te_wl_type_replacing(0, text, dry_run); }

int te_wl_type_replacing(int erase_count, const char* text, int dry_run) {
    std::vector<std::uint32_t> cps = te_utf8_decode(text ? text : "");
    if (erase_count <= 0 && cps.empty()) return -1;
    if (dry_run) return -3;
    std::vector<te_keysym> syms(erase_count > 0 ? (std::size_t)erase_count : 0, XKB_KEY_BackSpace);
    std::vector<te_keysym> typed = te_keysyms(cps);
    syms.insert(syms.end(), typed.begin(), typed.end());
    return te_wl_type_keys(syms);
}

int te_wl_type_keys(const std::vector<te_keysym>& syms) {
    if (syms.empty()) return -1;
    // Another terminal than this session's in front: no window to type into.
    if (!te_wl_console_ours()) return -3;
    std::lock_guard<std::mutex> hold(te_typing_lock);
    te_wait_keys_released(te_wl_any_key_held, nullptr);
    return te_type_now(syms);
}
