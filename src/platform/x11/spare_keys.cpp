#include "spare_keys.h"

#include "key_watch.h"
#include "ping.h"
#include "platform.h"

#include <algorithm>
#include <functional>

namespace {

// More would only make every client fetch a larger keyboard mapping.
const size_t TE_SPARE_MAX = 64;
const size_t TE_LEVELS = 2;
// A program that answers pings gets this long to read what was typed;
// one that does not answer in time is not asked again during this text.
const int TE_PING_TIMEOUT_MS = 1000;
// Once it has answered one, it gets this long: a program that answers is
// only busy (a browser loading the fonts of a script new to it stalls for
// seconds), and going on with pauses instead would garble its text.
const int TE_PING_PATIENCE_MS = 10000;
// A program without the ping protocol gets a pause this long, plus a little
// per character typed since the last settle: a guess at the time a busy
// client may need to catch up.
const int TE_SETTLE_BASE_MS = 15;
const size_t TE_SETTLE_CHARS_PER_MS = 20;
// Answers awaited after a binding changed (see te_await_binding).
const int TE_PINGS_AFTER_BINDING = 2;

// Pings the focused program and waits for its answer; false, and no more
// pings for this text, when it has no ping protocol or did not answer.
bool te_ping_focused(te_spare_keys* keys) {
    Window target = keys->may_ping ? te_ping_target(keys->dpy) : None;
    int timeout_ms = keys->answered ? TE_PING_PATIENCE_MS : TE_PING_TIMEOUT_MS;
    keys->may_ping = target != None && te_ping(keys->dpy, target, timeout_ms);
    keys->answered = keys->answered || keys->may_ping;
    return keys->may_ping;
}

// Waits until the focused program has read every key typed so far.
void te_settle(te_spare_keys* keys) {
    XSync(keys->dpy, False);
    if (!te_ping_focused(keys))
        te_key_watch_sleep(TE_SETTLE_BASE_MS + (int)(keys->typed_since_settle / TE_SETTLE_CHARS_PER_MS));
    keys->typed_since_settle = 0;
}

// Waits until the focused program has taken in a binding just sent, before
// any key uses it. The first answer comes after the program has read the
// mapping notices queued for the connection of its window. A program may
// keep its keyboard mapping up to date on a second connection served by
// the same event loop (Chromium does), whose notices that loop may handle
// after the first answer in the same turn; the second answer comes from a
// later turn, after they were handled. A program without pings gets no
// wait here: those met so far (xterm and other Xlib or Xt programs) read
// their mapping notices and their keys in one stream, in order.
void te_await_binding(te_spare_keys* keys) {
    for (int i = 0; i < TE_PINGS_AFTER_BINDING && te_ping_focused(keys); i++) {
    }
}

bool te_any_bound(const te_spare_keys* keys) {
    for (KeySym ks : keys->bound)
        if (ks != NoSymbol) return true;
    return false;
}

int te_load_symbols(te_spare_keys* keys) {
    if (keys->xkb) return 1;
    keys->xkb = XkbGetMap(keys->dpy, XkbKeyTypesMask | XkbKeySymsMask, XkbUseCoreKbd);
    if (!keys->xkb) return 0;
    keys->original.clear();
    for (KeyCode code : keys->codes) keys->original.push_back(keys->xkb->map->key_sym_map[code]);
    return 1;
}

// Gives one spare keycode its two keysyms in our copy of the symbols, as a
// one-group key of the standard two-level type; or, with no keysym, its
// original empty entry.
void te_set_key(te_spare_keys* keys, size_t i) {
    XkbDescPtr xkb = keys->xkb;
    KeyCode code = keys->codes[i];
    KeySym plain = keys->bound[i * TE_LEVELS], shifted = keys->bound[i * TE_LEVELS + 1];
    if (plain == NoSymbol) {
        XkbResizeKeySyms(xkb, code, 0);
        xkb->map->key_sym_map[code] = keys->original[i];
        xkb->map->key_sym_map[code].offset = 0;
        return;
    }
    KeySym* syms = XkbResizeKeySyms(xkb, code, (int)TE_LEVELS);
    if (!syms) return;
    syms[0] = plain;
    syms[1] = shifted;
    XkbSymMapRec& map = xkb->map->key_sym_map[code];
    map.kt_index[0] = XkbTwoLevelIndex;
    map.group_info = XkbSetGroupInfo(1, XkbWrapIntoRange, 0);
    map.width = (unsigned char)TE_LEVELS;
}

// Sends the symbols of the keycodes from the first to the last spare one in
// one request; the keys between them go with the symbols they have.
void te_send(te_spare_keys* keys) {
    if (keys->codes.empty()) return;
    XkbMapChangesRec changes = {};
    changes.changed = XkbKeySymsMask;
    changes.first_key_sym = keys->codes.front();
    changes.num_key_syms = (unsigned char)(keys->codes.back() - keys->codes.front() + 1);
    XkbChangeMap(keys->dpy, keys->xkb, &changes);
}

}  // namespace

void te_spare_init(te_spare_keys* keys, Display* dpy, const std::vector<KeyCode>& spare) {
    keys->dpy = dpy;
    keys->codes = spare;
    // The highest keycodes are the least likely to be keys someone presses.
    std::sort(keys->codes.begin(), keys->codes.end(), std::greater<KeyCode>());
    if (keys->codes.size() > TE_SPARE_MAX) keys->codes.resize(TE_SPARE_MAX);
    std::sort(keys->codes.begin(), keys->codes.end());
    keys->bound.assign(keys->codes.size() * TE_LEVELS, NoSymbol);
    keys->typed_since_settle = 0;
    keys->may_ping = true;
    keys->answered = false;
}

size_t te_spare_capacity(const te_spare_keys* keys) { return keys->bound.size(); }

int te_spare_bind(te_spare_keys* keys, const std::vector<KeySym>& syms) {
    if (syms.empty()) return 1;
    if (keys->codes.empty() || !te_load_symbols(keys)) return 0;
    if (te_any_bound(keys)) te_settle(keys);
    std::fill(keys->bound.begin(), keys->bound.end(), NoSymbol);
    std::copy(syms.begin(), syms.begin() + (long)std::min(syms.size(), keys->bound.size()), keys->bound.begin());
    for (size_t i = 0; i < keys->codes.size(); i++) te_set_key(keys, i);
    te_send(keys);
    te_await_binding(keys);
    return 1;
}

int te_spare_spot_of(const te_spare_keys* keys, KeySym ks, te_key_spot* out) {
    for (size_t i = 0; i < keys->bound.size(); i++) {
        if (keys->bound[i] != ks) continue;
        *out = te_key_spot{keys->codes[i / TE_LEVELS], i % TE_LEVELS ? (unsigned)ShiftMask : 0u};
        return 1;
    }
    return 0;
}

void te_spare_note_typed(te_spare_keys* keys) { keys->typed_since_settle++; }

void te_spare_restore(te_spare_keys* keys) {
    if (te_any_bound(keys)) {
        te_settle(keys);
        std::fill(keys->bound.begin(), keys->bound.end(), NoSymbol);
        for (size_t i = 0; i < keys->codes.size(); i++) te_set_key(keys, i);
        te_send(keys);
    }
    if (keys->xkb) XkbFreeKeyboard(keys->xkb, 0, True);
    keys->xkb = nullptr;
}
