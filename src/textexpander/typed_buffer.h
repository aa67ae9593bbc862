// The characters the user typed most recently, for keys mode.
//
// It holds no more than the longest trigger's bytes, lives only in the
// worker's memory, and is wiped when the worker stops: it is never logged,
// stored, or returned by any export.
#ifndef TE_TYPED_BUFFER_H
#define TE_TYPED_BUFFER_H

#include <cstddef>

#include "engine.h"
#include "match.h"

struct te_typed_buffer {
    char bytes[TE_TRIGGER_CAP];  // NUL-terminated
    std::size_t len;
    // The character just before bytes[0] (typed, then dropped off the
    // front) was an ASCII letter, digit or underscore: a trigger that starts
    // the buffer is then inside a word.
    int word_before;
};

// Empties the buffer; what comes next starts a word.
void te_typed_reset(te_typed_buffer* b);
// Appends the UTF-8 text of one key press, dropping whole characters off
// the front when the buffer is full.
void te_typed_add(te_typed_buffer* b, const char* text);
// Removes the last character (all of its UTF-8 bytes).
void te_typed_backspace(te_typed_buffer* b);
// Drops whole characters off the front until at most `max_bytes` remain.
void te_typed_keep_last(te_typed_buffer* b, std::size_t max_bytes);
// The buffer as a text a trigger must end exactly.
te_text_end te_typed_end(const te_typed_buffer* b);
// Overwrites every byte, in a way the compiler may not leave out.
void te_typed_wipe(te_typed_buffer* b);

#endif
