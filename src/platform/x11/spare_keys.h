// Spare keycodes lent to characters the layout does not have.
//
// A client looks a key event up in the keyboard mapping it fetches after a
// mapping change, not in the one the event was made with. So the text is
// typed in segments: the foreign keysyms of one segment are bound to the
// spare keycodes all at once, two per keycode (plain and with Shift), in a
// single XKB request, so that clients fetch the mapping once per segment.
// Before the next segment rebinds them, a settle makes sure the focused
// program has looked up every event typed with the old binding: it pings
// the program (ping.h) and waits for the answer, or, for a program without
// that protocol, syncs with the server and pauses for a time that grows
// with what was typed. After each binding, and before the first key that
// uses it, the focused program is pinged again: some programs (Chromium)
// keep their keyboard mapping on a connection of its own, refreshed in
// their own time, and would otherwise look up the first keys of a segment
// in the mapping of the segment before.
#ifndef TE_X11_SPARE_KEYS_H
#define TE_X11_SPARE_KEYS_H

#include "layout.h"

#include <X11/XKBlib.h>
#include <cstddef>
#include <vector>

struct te_spare_keys {
    Display* dpy = nullptr;
    XkbDescPtr xkb = nullptr;      // the server's symbols, read on first use
    std::vector<KeyCode> codes;    // ascending
    std::vector<XkbSymMapRec> original;  // per code, as it was before any binding
    std::vector<KeySym> bound;     // two per code (plain, Shift), NoSymbol while free
    size_t typed_since_settle = 0;
    bool may_ping = true;          // false once the focused program did not answer one
    bool answered = false;         // it answered one during this text
};

void te_spare_init(te_spare_keys* keys, Display* dpy, const std::vector<KeyCode>& spare);

// How many keysyms one segment can bind.
size_t te_spare_capacity(const te_spare_keys* keys);

// Binds the keysyms (at most the capacity) to the spare keycodes, settling
// first when keycodes bound before are in use, and returns once the
// focused program has taken the binding in. 0 when there is no spare
// keycode or the server's key symbols cannot be read.
int te_spare_bind(te_spare_keys* keys, const std::vector<KeySym>& syms);

// Where ks is bound; 0 when it is not.
int te_spare_spot_of(const te_spare_keys* keys, KeySym ks, te_key_spot* out);

// Counts one typed character towards the next settle's pause.
void te_spare_note_typed(te_spare_keys* keys);

// Settles, then gives every bound keycode back its empty mapping, and
// releases the symbols read.
void te_spare_restore(te_spare_keys* keys);

#endif
