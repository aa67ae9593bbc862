// Keys mode: the worker follows what the user types and expands a trigger
// the moment its last character is typed, or (word triggers) once a word
// separator follows it; a BackSpace right after takes an expansion back.
#ifndef TE_KEYS_MODE_H
#define TE_KEYS_MODE_H

#include "engine.h"
#include "platform.h"
#include "typed_buffer.h"

// An expansion a BackSpace pressed next takes back: the user's BackSpace
// has erased the character before the caret; the engine erases the rest
// of what it typed and types the trigger and its separator as they were
// typed.
struct te_keys_undo {
    bool armed;
    int before;  // characters the expansion put before the caret
    int after;   // and after it
    char restore[TE_TRIGGER_CAP + 16];
};

// What the worker keeps of the user's typing. Wiped when it stops.
struct te_keys_state {
    te_typed_buffer typed;
    te_keys_undo undo;
};

void te_keys_reset(te_keys_state* k);
void te_keys_wipe(te_keys_state* k);

// The pass on what was typed: first cuts the buffer to the longest
// trigger, then, when a trigger that expands at once ends it exactly after
// a non-word character and the rules and apps lists allow it for the
// program in front, erases the trigger and types the rendered snippet while
// the user's keys are held (keys_mode.cpp tells how), and empties the
// buffer: what comes next follows the expansion's last character. 1
// expanded, 0 nothing to expand or the expansion was called off, -1 failed.
int te_keys_pass(te_keys_state* k);

// Applies one key event: takes the last expansion back (a BackSpace right
// after it), expands a word trigger it ends (a word separator), or follows
// it in the buffer and runs the pass after a typed character.
void te_keys_take(te_keys_state* k, const te_key_event& ev);

// The worker's loop in keys mode, on a watch opened with TE_WATCH_KEYS,
// until E.running is cleared. Wipes what it kept before it returns.
void te_keys_run(void);

#endif
