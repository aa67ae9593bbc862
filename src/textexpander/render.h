// Template rendering (placeholder.h lists the placeholders).
#ifndef TE_RENDER_H
#define TE_RENDER_H

#include <cstddef>
#include <cstdint>

// The longest rendered text, without its NUL.
const std::size_t TE_RENDER_MAX = 69631;
// No {cursor} in the text.
const std::size_t TE_NO_CARET = (std::size_t)-1;
// {snippet:...} inside snippets: at most this many levels deep, and the
// templates of the snippets put in at most this long together in one
// rendering, so that a rendering stays as quick as the text it makes. A
// {snippet:...} beyond either, one of a snippet being rendered (a cycle)
// or of no snippet is written as it stands.
const int TE_NEST_MAX = 4;
const std::size_t TE_NEST_BUDGET = 4 * 65536;

struct te_render_job {
    const char* tmpl;
    const char* locale;   // of month and day names; "" the user's
    const char* trigger;  // the snippet whose text `tmpl` is, or null
};

struct te_rendering {
    const char* text;  // in the calling thread's rendering area, until its next rendering
    std::size_t len;
    std::size_t caret;  // where the first {cursor} was (a byte offset), or TE_NO_CARET
};

// Renders the job's template: the clipboard and the clock are read once,
// and {snippet:...} takes the snippet's text out of the table (under the
// engine lock, which must NOT be held). 1, or 0 when memory for the
// rendering area cannot be had.
int te_render_run(const te_render_job& job, te_rendering* out);

// The {random6} generator's state, for tests.
void te_random_seed_set(std::uint32_t seed);

#endif
