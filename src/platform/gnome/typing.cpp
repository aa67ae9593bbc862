// Typing on GNOME: keysyms through the remote desktop session (Mutter
// presses the key of the user's layout and the level's modifiers), sent
// without waiting for each answer and waited for once per batch; what the
// layout lacks is pasted (paste_typing.h). The typing starts once the user
// has let go of every key.
#include "gnome_desktop.h"
#include "paste_typing.h"
#include "remote_desktop.h"
#include "session_bus.h"

#include <mutex>

namespace {

const std::size_t TE_BATCH_KEYS = 128;

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

// The session first: its keyboard is what gives the seat a keymap.
int te_ready() {
    std::lock_guard<std::mutex> hold(te_bus_lock);
    sd_bus* bus = te_bus_locked();
    return bus && !te_gnome_session(bus, nullptr).empty() ? 0 : -2;
}

const te_paste_desktop te_gnome_typist = {te_type_keys, te_gnome_save_clipboard, te_gnome_paste,
                                          te_gnome_restore_clipboard, te_ready};

}  // namespace

int te_gnome_type_text_utf8(const char* text, int dry_run) { return te_gnome_type_replacing(0, text, dry_run); }

int te_gnome_press_key(int key, int count, int dry_run) {
    return te_paste_press_key(te_gnome_typist, key, count, dry_run);
}

int te_gnome_type_replacing(int erase_count, const char* text, int dry_run) {
    return te_paste_type_replacing(te_gnome_typist, erase_count, text, dry_run);
}
