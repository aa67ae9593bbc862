#include "user_keymap.h"

#include "seat_keymap.h"
#include "wl_connection.h"

#include <atomic>
#include <cctype>
#include <cstdlib>
#include <xkbcommon/xkbcommon.h>

namespace {

// The keymap taken as the user's. Guarded by te_wl_lock; the two versions
// are also read without it.
struct te_user_keymap {
    std::string text;
    std::atomic<unsigned> version{0};
    std::atomic<unsigned> seat_seen{TE_WL_KEYMAP_NONE};  // the seat keymap version last looked at
};
te_user_keymap te_user;

// Keys every physical keyboard's keymap has, with their xkb key codes
// (evdev code + 8): 1, Q, A, Z and the space bar.
struct te_named_key {
    const char* name;
    long code;
};
const te_named_key TE_PC_KEYS[] = {{"<AE01>", 10}, {"<AD01>", 24}, {"<AC01>", 38}, {"<AB01>", 52}, {"<SPCE>", 65}};

// 1 when the keycodes section holds "<NAME> = CODE;".
bool te_has_key(const std::string& text, const te_named_key& key) {
    for (std::size_t at = text.find(key.name); at != std::string::npos; at = text.find(key.name, at + 1)) {
        const char* p = text.c_str() + at + std::char_traits<char>::length(key.name);
        while (std::isspace((unsigned char)*p)) p++;
        if (*p++ != '=') continue;
        char* end = nullptr;
        long code = std::strtol(p, &end, 10);
        while (std::isspace((unsigned char)*end)) end++;
        if (code == key.code && *end == ';') return true;
    }
    return false;
}

// With te_wl_lock held: the seat's keymap becomes the user's when it looks
// like a physical keyboard's.
void te_take_seat_keymap_locked() {
    unsigned seat_version = 0;
    std::string text = te_wl_seat_keymap_text(&seat_version);
    te_user.seat_seen = seat_version;
    if (text.empty() || text == te_user.text || !te_wl_keymap_looks_physical(text)) return;
    te_user.text = text;
    te_user.version++;
}

}  // namespace

int te_wl_keymap_looks_physical(const std::string& text) {
    for (const te_named_key& key : TE_PC_KEYS)
        if (!te_has_key(text, key)) return 0;
    return 1;
}

xkb_keymap* te_wl_user_keymap_if_changed(xkb_context* ctx, unsigned* version) {
    unsigned now = 0;
    std::string text;
    {
        std::lock_guard<std::mutex> hold(te_wl_lock);
        te_wl* c = te_wl_connection_locked();
        if (c) te_wl_pump_locked(c);
        if (te_user.text.empty()) te_take_seat_keymap_locked();
        text = te_user.text;
        now = te_user.version;
    }
    if (now == *version) return nullptr;
    *version = now;
    xkb_keymap* k = nullptr;
    if (!text.empty())
        k = xkb_keymap_new_from_string(ctx, text.c_str(), XKB_KEYMAP_FORMAT_TEXT_V1, XKB_KEYMAP_COMPILE_NO_FLAGS);
    if (!k) k = xkb_keymap_new_from_names(ctx, nullptr, XKB_KEYMAP_COMPILE_NO_FLAGS);
    return k;
}

unsigned te_wl_user_keymap_version() { return te_user.version.load(); }

void te_wl_user_keymap_after_press() {
    if (te_wl_seat_keymap_version() == te_user.seat_seen.load()) return;
    std::lock_guard<std::mutex> hold(te_wl_lock);
    te_wl* c = te_wl_connection_locked();
    if (c && te_wl_sync(c)) te_take_seat_keymap_locked();
}
