// The clipboard side of typing on GNOME: the session saves every format
// of the user's clipboard, owns the clipboard with the text to paste while
// the paste chord is pressed, and a keeper process (clipboard_keeper.h)
// owns it afterwards with the user's content, so it stays served after
// this process ends. Neither counts as a copy for the clipboard watch.
#include "clipboard_read.h"
#include "gnome_desktop.h"
#include "platform.h"
#include "remote_desktop.h"
#include "session_bus.h"

#include <systemd/sd-bus.h>

#include <unistd.h>
#include <xkbcommon/xkbcommon-keysyms.h>

namespace {

const std::uint64_t TE_PASTE_ASK_MS = 1500;
const int TE_PASTE_SETTLE_MS = 30;

// Shift+Insert: text fields paste the clipboard with it. The program in
// front is unknown here, so terminals cannot be told apart.
int te_press_chord(sd_bus* bus, const std::string& session) {
    return te_gnome_keysym(bus, session, XKB_KEY_Shift_L, true, false) &&
           te_gnome_keysym(bus, session, XKB_KEY_Insert, true, false) &&
           te_gnome_keysym(bus, session, XKB_KEY_Insert, false, false) &&
           te_gnome_keysym(bus, session, XKB_KEY_Shift_L, false, true);
}

int te_wait_served(std::uint64_t before) {
    std::uint64_t end = now_millis() + TE_PASTE_ASK_MS;
    for (;;) {
        {
            std::lock_guard<std::mutex> hold(te_bus_lock);
            sd_bus* bus = te_bus_locked();
            if (!bus || !te_bus_process_locked(bus)) return 0;
            if (te_gnome_selection_served() > before) break;
            if (now_millis() >= end) return 0;
            sd_bus_wait(bus, 5000);
        }
    }
    usleep(TE_PASTE_SETTLE_MS * 1000);
    return 1;
}

}  // namespace

int te_gnome_save_clipboard(te_clip_contents* out) {
    out->clear();
    std::vector<std::string> types;
    bool known = false;
    {
        std::lock_guard<std::mutex> hold(te_bus_lock);
        sd_bus* bus = te_bus_locked();
        std::string session = bus ? te_gnome_session(bus, nullptr) : "";
        if (session.empty() || !te_gnome_sync(bus, session)) return 0;
        types = te_gnome_selection_types(&known);
    }
    return te_clip_read(types, te_gnome_open_clipboard, out);
}

int te_gnome_paste(const std::string& text) {
    std::uint64_t before = 0;
    {
        std::lock_guard<std::mutex> hold(te_bus_lock);
        sd_bus* bus = te_bus_locked();
        std::string session = bus ? te_gnome_session(bus, nullptr) : "";
        if (session.empty() || !te_gnome_selection_offer(bus, session, text)) return 0;
        // Mutter reads a new clipboard's text at once, to keep a copy for
        // when its owner goes: that request came before the answer and is
        // served here, so that only the program's own request counts.
        if (!te_bus_process_locked(bus)) return 0;
        before = te_gnome_selection_served();
        if (!te_press_chord(bus, session)) return 0;
    }
    return te_wait_served(before);
}

int te_gnome_restore_clipboard(const te_clip_contents& saved) {
    if (saved.empty()) {
        // An empty clipboard: the session keeps one that holds nothing.
        std::lock_guard<std::mutex> hold(te_bus_lock);
        sd_bus* bus = te_bus_locked();
        std::string session = bus ? te_gnome_session(bus, nullptr) : "";
        return !session.empty() && te_gnome_clipboard_empty(bus, session);
    }
    {
        std::lock_guard<std::mutex> hold(te_bus_lock);
        te_gnome_selection_mute(true);
    }
    int ok = te_clipboard_keep(saved, te_gnome_serve_clipboard);
    std::lock_guard<std::mutex> hold(te_bus_lock);
    sd_bus* bus = te_bus_locked();
    std::string session = bus ? te_gnome_session(bus, nullptr) : "";
    // The keeper's change of owner reaches this session before the answer.
    if (!session.empty()) te_gnome_sync(bus, session);
    te_gnome_selection_mute(false);
    return ok;
}
