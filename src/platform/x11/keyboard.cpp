// Typing a text into the focused window with XTest key events. Characters
// the layout has are typed on their own key with Shift or AltGr as needed;
// the others on a spare keycode lent to their keysym for the moment. The
// typing starts once the user has let go of every key. A key watch sees
// the typing bracketed by the typing marks.
#include "held_keys.h"
#include "key_presses.h"
#include "key_watch.h"
#include "layout.h"
#include "modifiers.h"
#include "platform.h"
#include "x11_desktop.h"
#include "spare_keys.h"
#include "typing_marks.h"
#include "utf8_codec.h"
#include "x11_display.h"

#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <algorithm>
#include <mutex>

namespace {

// Two threads typing at once would fight over the spare keycodes.
std::mutex te_typing_lock;

struct te_typist {
    Display* dpy;
    te_layout layout;
    te_spare_keys spare;
};

int te_has_focus(Display* dpy) { return te_x11_input_focus(dpy) != None && !te_x11_lost(); }

void te_key(Display* dpy, KeyCode code, bool down) { XTestFakeKeyEvent(dpy, code, down, CurrentTime); }

void te_press_spot(te_typist& t, const te_key_spot& spot) {
    // The user's keys are held for the typing, but never for long; a hold
    // that runs out ends between two characters, with none of the typing's
    // modifiers down.
    te_key_watch_hold_expire();
    bool shift = spot.mods & ShiftMask;
    bool level3 = t.layout.level3_mask && (spot.mods & t.layout.level3_mask);
    if (shift) te_key(t.dpy, t.layout.shift_code, true);
    if (level3) te_key(t.dpy, t.layout.level3_code, true);
    te_key(t.dpy, spot.code, true);
    te_key(t.dpy, spot.code, false);
    if (level3) te_key(t.dpy, t.layout.level3_code, false);
    if (shift) te_key(t.dpy, t.layout.shift_code, false);
}

bool te_in_layout(const te_typist& t, KeySym ks) { return t.layout.spots.count(ks) != 0; }

// 0 when the keysym is neither in the layout nor bound to a spare keycode.
int te_type_keysym(te_typist& t, KeySym ks) {
    auto found = t.layout.spots.find(ks);
    if (found != t.layout.spots.end()) {
        te_press_spot(t, found->second);
        return 1;
    }
    te_key_spot spot;
    if (!te_spare_spot_of(&t.spare, ks, &spot)) return 0;
    te_press_spot(t, spot);
    te_spare_note_typed(&t.spare);
    return 1;
}

// The keysym of each character; a carriage return followed by a line feed
// is one line break, and control characters without a key are left out.
std::vector<KeySym> te_keysyms(const std::vector<std::uint32_t>& cps) {
    std::vector<KeySym> out;
    for (size_t i = 0; i < cps.size(); i++) {
        if (cps[i] == '\r' && i + 1 < cps.size() && cps[i + 1] == '\n') continue;
        KeySym ks = te_keysym_for_char(cps[i]);
        if (ks != NoSymbol) out.push_back(ks);
    }
    return out;
}

// Where the segment that starts at `from` ends: before the first keysym
// that would need one spare keycode more than there are. Its foreign
// keysyms go to *foreign.
size_t te_segment_end(const te_typist& t, const std::vector<KeySym>& syms, size_t from,
                      std::vector<KeySym>* foreign) {
    foreign->clear();
    size_t cap = std::max<size_t>(te_spare_capacity(&t.spare), 1);
    size_t i = from;
    for (; i < syms.size(); i++) {
        if (te_in_layout(t, syms[i])) continue;
        if (std::find(foreign->begin(), foreign->end(), syms[i]) != foreign->end()) continue;
        if (foreign->size() == cap) break;
        foreign->push_back(syms[i]);
    }
    return i;
}

// The first `erase` keysyms (BackSpaces) go before any wait for a binding
// of the spare keycodes: a hold of the user's keys may run out during that
// wait, and the keys it held must not reach the window before the erase.
// (The window has its keymap: the user just typed there.)
int te_type_chars(te_typist& t, const std::vector<KeySym>& syms, size_t erase) {
    for (size_t i = 0; i < erase && i < syms.size(); i++)
        if (!te_type_keysym(t, syms[i]) || te_x11_lost()) return 0;
    std::vector<KeySym> foreign;
    for (size_t from = erase; from < syms.size();) {
        size_t end = te_segment_end(t, syms, from, &foreign);
        if (!te_spare_bind(&t.spare, foreign)) return 0;
        for (size_t i = from; i < end; i++) {
            if (!te_type_keysym(t, syms[i]) || te_x11_lost()) return 0;
        }
        from = end;
    }
    return 1;
}

// Characters the layout lacks need a spare keycode; with none left they
// cannot be typed, and that is known before the first key.
bool te_typable(const te_typist& t, const std::vector<KeySym>& syms) {
    if (te_spare_capacity(&t.spare) > 0) return true;
    for (KeySym ks : syms)
        if (!te_in_layout(t, ks)) return false;
    return true;
}

int te_type_all(Display* dpy, const std::vector<KeySym>& syms, size_t erase) {
    te_typist t;
    t.dpy = dpy;
    if (!te_layout_load(dpy, &t.layout)) return -2;
    te_spare_init(&t.spare, dpy, t.layout.spare);
    if (!te_typable(t, syms)) return -2;
    // The cursor may have moved away from what was to be erased.
    if (erase && te_key_watch_clicked_in_hold(dpy)) return TE_TYPING_CLICKED;
    te_typing_mark_begin(dpy);
    te_x11_errors_mark();
    te_key_watch_typing(dpy, true);
    te_let_go_of_keys(dpy);
    te_set_aside saved;
    te_modifiers_set_aside(dpy, &saved);
    int ok = te_type_chars(t, syms, erase);
    te_modifiers_bring_back(dpy, saved);
    // The characters are out; the wait for the program before the spare
    // keycodes are given back may take long, and the user's modifiers
    // apply to their next key from now on.
    te_key_watch_typing(dpy, false);
    te_spare_restore(&t.spare);
    int errors = te_x11_errors_since(dpy);
    te_typing_mark_end(dpy);
    return ok && !errors && !te_x11_lost() ? 0 : -2;
}

// Checks the desktop, then types the keysyms. -3 no window in front.
int te_type_keysyms(const std::vector<KeySym>& syms, size_t erase) {
    Display* dpy = te_x11_display();
    if (!dpy || !te_has_focus(dpy)) return -3;
    if (!te_x11_has_xtest(dpy)) return -2;
    std::lock_guard<std::mutex> hold(te_typing_lock);
    return te_type_all(dpy, syms, erase);
}

}  // namespace

// Typing is replacing with nothing to erase: the same keystrokes, checks
// and results.
int te_x11_type_text_utf8(const char* text, int dry_run) { return te_x11_type_replacing(0, text, dry_run); }

int te_x11_type_replacing(int erase_count, const char* text, int dry_run) {
    std::vector<std::uint32_t> cps = te_utf8_decode(text ? text : "");
    if (erase_count <= 0 && cps.empty()) return -1;
    if (dry_run) return -3;
    size_t erase = erase_count > 0 ? (size_t)erase_count : 0;
    std::vector<KeySym> syms(erase, XK_BackSpace);
    std::vector<KeySym> typed = te_keysyms(cps);
    syms.insert(syms.end(), typed.begin(), typed.end());
    return te_type_keysyms(syms, erase);
}

int te_x11_type_keys(const std::vector<KeySym>& syms) { return syms.empty() ? -1 : te_type_keysyms(syms, 0); }
