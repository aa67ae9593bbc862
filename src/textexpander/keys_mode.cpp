#include "keys_mode.h"

#include "engine.h"
#include "memory_wipe.h"

namespace {

// The longest sleep between two looks at the stop flag when no key comes;
// te_stop wakes the wait at once anyway.
const int TE_KEYS_WAIT_MS = 1000;

}  // namespace

void te_keys_take(te_typed_buffer* typed, const te_key_event& ev) {
    switch (ev.kind) {
    case TE_KEY_TEXT:
        te_typed_add(typed, ev.text);
        te_keys_pass(typed);
        break;
    case TE_KEY_BACKSPACE:
        te_typed_backspace(typed);
        break;
    default:
        te_typed_reset(typed);
        break;
    }
}

void te_keys_run(void) {
    te_typed_buffer typed;
    te_typed_reset(&typed);
    te_key_event ev;
    while (E.running.load()) {
        if (!(watch_wait(TE_KEYS_WAIT_MS) & TE_WATCH_KEYS)) continue;
        while (E.running.load() && watch_next_key(&ev)) te_keys_take(&typed, ev);
    }
    te_typed_wipe(&typed);
    te_wipe(&ev, sizeof ev);
}
