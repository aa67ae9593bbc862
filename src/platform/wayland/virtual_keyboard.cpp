// Keystrokes go out in batches; after each batch a round trip makes sure
// the compositor has taken them before more are sent, so a long text never
// piles up in the connection's buffers faster than it is handled. The
// round trips let te_wl_lock go while they wait, and end the typing when
// the compositor does not answer.
//
// On a seat that had no keyboard (a touch screen, a compositor started
// without input devices) the engine's keyboard is the first: programs bind
// a keyboard only once the compositor tells them the seat has one, and
// keys sent before that are lost. So the first keys wait until the
// engine's own connection has bound it, and a little longer for the
// others.
//
// A program under Xwayland reads a key with the keyboard mapping it fetches
// from Xwayland once told the keymap changed, which by then may be a later
// keymap: before the keymap changes in the middle of a text, it gets time
// to read the keys typed with the one in force (the pause the X11 desktop
// gives a program it cannot ping).
#include "virtual_keyboard.h"

#include "platform.h"
#include "seat_keymap.h"
#include "wl_connection.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

#include "virtual-keyboard-unstable-v1-client.h"

namespace {

const std::size_t TE_BATCH_KEYS = 64;
const int TE_BIND_WAIT_MS = 250;
const int TE_SETTLE_BASE_MS = 15;
const std::size_t TE_SETTLE_KEYS_PER_MS = 20;
const std::uint32_t TE_PRESSED = 1, TE_RELEASED = 0;

struct te_vkbd {
    zwp_virtual_keyboard_v1* keyboard = nullptr;
    te_wl_engine_keymap keymap;
    bool has_keymap = false;
    bool seat_was_bare = false;  // the seat had no keyboard before this one
    std::size_t typed = 0;       // keys typed with the keymap in force,
    std::uint64_t typed_at = 0;  // the last of them at this time
};
te_vkbd te_vk;

// The keymap text in a sealed memory file, as the protocol hands it over.
int te_keymap_file(const std::string& text) {
    int fd = memfd_create("velmora-te-keymap", MFD_CLOEXEC | MFD_ALLOW_SEALING);
    if (fd < 0) return -1;
    const char* p = text.c_str();
    std::size_t left = text.size() + 1;
    while (left > 0) {
        ssize_t n = write(fd, p, left);
        if (n <= 0) {
            close(fd);
            return -1;
        }
        p += n;
        left -= (std::size_t)n;
    }
    fcntl(fd, F_ADD_SEALS, F_SEAL_SHRINK | F_SEAL_GROW | F_SEAL_WRITE | F_SEAL_SEAL);
    return fd;
}

int te_send_keymap(const te_wl_engine_keymap& k) {
    std::string text = te_wl_engine_keymap_text(k);
    int fd = te_keymap_file(text);
    if (fd < 0) return 0;
    zwp_virtual_keyboard_v1_keymap(te_vk.keyboard, WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, fd,
                                   (std::uint32_t)(text.size() + 1));
    close(fd);
    zwp_virtual_keyboard_v1_modifiers(te_vk.keyboard, 0, 0, 0, 0);
    te_vk.keymap = k;
    te_vk.has_keymap = true;
    return 1;
}

zwp_virtual_keyboard_v1* te_keyboard(te_wl* c) {
    if (te_vk.keyboard || !c->keyboards || !c->seat) return te_vk.keyboard;
    te_vk.seat_was_bare = !te_wl_seat_has_keyboard();
    te_vk.keyboard = zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(c->keyboards, c->seat);
    return te_vk.keyboard;
}

// After the first keymap of a keyboard that is the seat's first: one round
// trip and the compositor has told every program of it, another and ours
// is bound.
int te_let_programs_bind(te_wl* c) {
    if (!te_vk.seat_was_bare) return 1;
    te_vk.seat_was_bare = false;
    return te_wl_sync(c) && te_wl_sync(c) && te_wl_pause(c, TE_BIND_WAIT_MS);
}

int te_tap(int code) {
    std::uint64_t now = now_millis();
    zwp_virtual_keyboard_v1_key(te_vk.keyboard, (std::uint32_t)now, (std::uint32_t)code, TE_PRESSED);
    zwp_virtual_keyboard_v1_key(te_vk.keyboard, (std::uint32_t)now, (std::uint32_t)code, TE_RELEASED);
    te_vk.typed++;
    te_vk.typed_at = now;
    return 1;
}

// Before the keymap in force is replaced: the pause its last keys still
// need.
int te_let_keys_settle(te_wl* c) {
    if (!te_vk.has_keymap || te_vk.typed == 0) return 1;
    std::uint64_t pause = TE_SETTLE_BASE_MS + te_vk.typed / TE_SETTLE_KEYS_PER_MS;
    std::uint64_t since = now_millis() - te_vk.typed_at;
    te_vk.typed = 0;
    return since >= pause || te_wl_pause(c, (int)(pause - since));
}

// Types syms[from, end) with the keymap in force, which holds them all.
int te_type_run(te_wl* c, const std::vector<te_keysym>& syms, std::size_t from, std::size_t end) {
    for (std::size_t i = from; i < end; i++) {
        te_tap(te_wl_engine_keymap_code(te_vk.keymap, syms[i]));
        if ((i + 1 - from) % TE_BATCH_KEYS == 0 && !te_wl_sync(c)) return 0;
    }
    return te_wl_sync(c);
}

// How far from `from` the keymap in force can type.
std::size_t te_covered(const std::vector<te_keysym>& syms, std::size_t from) {
    if (!te_vk.has_keymap) return from;
    while (from < syms.size() && te_wl_engine_keymap_code(te_vk.keymap, syms[from]) >= 0) from++;
    return from;
}

}  // namespace

int te_wl_virtual_keyboard_type(te_wl* c, const std::vector<te_keysym>& syms) {
    if (!te_keyboard(c)) return 0;
    std::size_t from = 0;
    while (from < syms.size()) {
        std::size_t end = te_covered(syms, from);
        if (end == from) {
            te_wl_engine_keymap k = te_wl_engine_keymap_for(syms, from, &end);
            if (!te_let_keys_settle(c) || !te_send_keymap(k) || !te_let_programs_bind(c)) return 0;
        }
        if (!te_type_run(c, syms, from, end)) return 0;
        from = end;
    }
    return 1;
}

void te_wl_virtual_keyboard_forget() {
    te_wl_free(te_vk.keyboard);
    te_vk = te_vkbd();
}
