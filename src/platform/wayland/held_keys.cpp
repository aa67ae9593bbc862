// The keyboards are opened once and opened again every few seconds, so a
// keyboard plugged in later counts and a poll stays cheap. Their own lock
// guards them: the hotkey poll (the worker) and any typist ask. It is
// taken before te_wl_lock (the keymap is read under it), never inside it.
#include "held_keys.h"

#include "console.h"
#include "input_devices.h"
#include "platform.h"
#include "user_keymap.h"
#include "vk_keysyms.h"
#include "wl_desktop.h"

#include <algorithm>
#include <mutex>
#include <unistd.h>
#include <vector>
#include <xkbcommon/xkbcommon.h>

namespace {

const std::uint64_t TE_REOPEN_MS = 3000;

struct te_held_keys {
    std::mutex lock;
    std::vector<int> fds;
    std::uint64_t opened_at = 0;
    bool opened = false;
    xkb_context* ctx = nullptr;
    xkb_keymap* keymap = nullptr;
    unsigned keymap_version = TE_WL_KEYMAP_NONE;
};
te_held_keys te_held;

void te_reopen_if_old(te_held_keys& h) {
    std::uint64_t now = now_millis();
    if (h.opened && now - h.opened_at < TE_REOPEN_MS) return;
    for (int fd : h.fds) close(fd);
    h.fds.clear();
    for (const te_wl_device& d : te_wl_devices().open_devices(TE_WL_KEYBOARD, nullptr)) h.fds.push_back(d.fd);
    h.opened = true;
    h.opened_at = now;
}

std::vector<int> te_keys_down(te_held_keys& h) {
    te_reopen_if_old(h);
    std::vector<int> down;
    for (int fd : h.fds) {
        std::vector<int> keys = te_wl_devices().keys_down(fd);
        down.insert(down.end(), keys.begin(), keys.end());
    }
    return down;
}

// Whether the key's first two levels in the first layout carry a keysym
// of `want`.
bool te_key_has(xkb_keymap* keymap, int code, const std::uint32_t* want, int n) {
    for (xkb_level_index_t level = 0; level < 2; level++) {
        const xkb_keysym_t* syms = nullptr;
        int count = xkb_keymap_key_get_syms_by_level(keymap, (xkb_keycode_t)code + 8, 0, level, &syms);
        for (int i = 0; i < count; i++)
            if (std::find(want, want + n, syms[i]) != want + n) return true;
    }
    return false;
}

void te_follow_keymap(te_held_keys& h) {
    if (!h.ctx) h.ctx = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    if (!h.ctx) return;
    xkb_keymap* k = te_wl_user_keymap_if_changed(h.ctx, &h.keymap_version);
    if (!k) return;
    xkb_keymap_unref(h.keymap);
    h.keymap = k;
}

}  // namespace

int te_wl_any_key_held(void*) {
    std::lock_guard<std::mutex> hold(te_held.lock);
    return te_keys_down(te_held).empty() ? 0 : 1;
}

// A chord pressed where no window of this session gets the keys (a lock
// screen, a text console) is not pressed for it.
int te_wl_key_is_down(int vk) {
    std::uint32_t want[TE_VK_MAX_KEYSYMS];
    int n = te_vk_to_keysyms(vk, want);
    if (n == 0 || !te_wl_keys_reach_session()) return 0;
    std::lock_guard<std::mutex> hold(te_held.lock);
    std::vector<int> down = te_keys_down(te_held);
    if (down.empty()) return 0;
    te_follow_keymap(te_held);
    if (!te_held.keymap) return 0;
    for (int code : down)
        if (te_key_has(te_held.keymap, code, want, n)) return 1;
    return 0;
}
