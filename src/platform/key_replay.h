// Giving the keys a hold kept back to the window again, in order, through
// one virtual keyboard (XTest's on X11), and leaving that keyboard as the
// user's hands are when the hold ends.
//
// A virtual keyboard counts the keys it has down and drops a press of one
// that is down already: a key the user's keyboard repeated during the hold
// (presses without a release between) gets a release before each press
// again. When the hold ends, the modifiers the user still holds (Shift,
// AltGr, Ctrl...) stay down on it, or are pressed there, so that they apply
// to the next key as they would have without the hold; every other key it
// still has down is released (the user's own release later comes from
// their keyboard and changes nothing). The desktop lets go of a modifier
// left down this way when the user lets go of theirs.
#ifndef TE_KEY_REPLAY_H
#define TE_KEY_REPLAY_H

enum { TE_REPLAY_KEYS = 256 };

// Sends one key event through the virtual keyboard.
typedef void (*te_replay_send)(void* ctx, unsigned code, bool press);

struct te_key_replay {
    bool down[TE_REPLAY_KEYS];  // the keys the replay has down on the virtual keyboard
};

void te_key_replay_begin(te_key_replay* r);

// Sends one held event (codes beyond the table are cut to it).
void te_key_replay_event(te_key_replay* r, unsigned code, bool press, te_replay_send send, void* ctx);

// Ends the replay: the keys of keep_down (the modifiers the user holds
// now) are down on the virtual keyboard afterwards, pressed if they were
// not; every other key is up. r->down then names the keys left down.
void te_key_replay_end(te_key_replay* r, const bool keep_down[TE_REPLAY_KEYS], te_replay_send send, void* ctx);

#endif
