#include "key_replay.h"

void te_key_replay_begin(te_key_replay* r) {
    for (bool& d : r->down) d = false;
}

void te_key_replay_event(te_key_replay* r, unsigned code, bool press, te_replay_send send, void* ctx) {
    code %= TE_REPLAY_KEYS;
    if (press && r->down[code]) send(ctx, code, false);
    send(ctx, code, press);
    r->down[code] = press;
}

void te_key_replay_end(te_key_replay* r, const bool keep_down[TE_REPLAY_KEYS], te_replay_send send, void* ctx) {
    for (unsigned code = 0; code < TE_REPLAY_KEYS; code++) {
        if (keep_down[code] == r->down[code]) continue;
        send(ctx, code, keep_down[code]);
        r->down[code] = keep_down[code];
    }
}
