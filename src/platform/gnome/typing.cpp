// Typing on GNOME: keysyms through the remote desktop session (Mutter
// presses the key of the user's layout and the level's modifiers), sent
// without waiting for each answer and waited for once per batch; what the
// layout lacks is pasted (paste_typing.h). The typing starts once the user
// has let go of every key.
#include "gnome_desktop.h"
#include "held_keys.h"
#include "key_release.h"
#include "paste_typing.h"
#include "remote_desktop.h"
#include "session_bus.h"
#include "user_layout.h"
#include "utf8_codec.h"

#include <mutex>

namespace {

const std::size_t TE_BATCH_KEYS = 128;

// Two typists at once would interleave their keys and pastes.
std::mutex te_typing_lock;

int te_type_keys(const te_layout_keys&, const std::vector<std::uint32_t>& syms) {
    std::lock_guard<std::mutex> hold(te_bus_lock);
    sd_bus* bus = te_bus_locked();
    std::string session = bus ? te_gnome_session(bus, nullptr) : "";
    if (session.empty()) return 0;
    for (std::size_t i = 0; i < syms.size(); i++) {
        bool wait = (i + 1) % TE_BATCH_KEYS == 0 || i + 1 == syms.size();
        if (!te_gnome_keysym(bus, session, syms[i], true, false) ||
            !te_gnome_keysym(bus, session, syms[i], false, wait))
            return 0;
    }
    return te_bus_process_locked(bus);
}

const te_paste_desktop te_gnome_typist = {te_type_keys, te_gnome_save_clipboard, te_gnome_paste,
                                          te_gnome_restore_clipboard};

}  // namespace

int te_gnome_type_text_utf8(const char* text, int dry_run) { return te_gnome_type_replacing(0, text, dry_run); }

int te_gnome_press_key(int key, int count, int dry_run) {
    return te_paste_press_key(te_gnome_typist, te_typing_lock, key, count, dry_run);
}

int te_gnome_type_replacing(int erase_count, const char* text, int dry_run) {
    std::vector<std::uint32_t> cps = te_utf8_decode(text ? text : "");
    if (erase_count <= 0 && cps.empty()) return -1;
    if (dry_run) return -3;
    std::lock_guard<std::mutex> hold(te_typing_lock);
    te_wait_keys_released(te_wl_any_key_held, nullptr);
    {
        // The session first: its keyboard is what gives the seat a keymap.
        std::lock_guard<std::mutex> bus_hold(te_bus_lock);
        sd_bus* bus = te_bus_locked();
        if (!bus || te_gnome_session(bus, nullptr).empty()) return -2;
    }
    return te_paste_typing(te_gnome_typist, te_user_layout(), erase_count > 0 ? erase_count : 0, cps);
}
