// Keys mode: the worker follows what the user types and expands a trigger
// the moment its last character is typed.
#ifndef TE_KEYS_MODE_H
#define TE_KEYS_MODE_H

#include "platform.h"
#include "typed_buffer.h"

// The pass on what was typed: first cuts the buffer to the longest
// trigger, then, when a trigger ends it exactly after a non-word character
// and the rules and apps lists allow it for the program in front, erases
// the trigger and types the rendered snippet while the user's keys are
// held (keys_mode.cpp tells how), and empties the buffer: what comes next
// follows the expansion's last character. 1 expanded, 0 nothing to expand
// or the expansion was called off, -1 failed.
int te_keys_pass(te_typed_buffer* typed);

// Applies one key event to the buffer and runs the pass after a typed
// character.
void te_keys_take(te_typed_buffer* typed, const te_key_event& ev);

// The worker's loop in keys mode, on a watch opened with TE_WATCH_KEYS,
// until E.running is cleared. Wipes what it kept before it returns.
void te_keys_run(void);

#endif
