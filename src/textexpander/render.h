// Template rendering.
#ifndef TE_RENDER_H
#define TE_RENDER_H

#include <cstddef>
#include <cstdint>

// The longest rendered text, without its NUL.
const std::size_t TE_RENDER_MAX = 69631;

// Renders `tmpl` into the calling thread's own rendering area and returns
// it (valid until the thread's next render), with its length in *len, or
// null when memory for the area cannot be had. Does not take the engine
// lock: it reads the clipboard and the clock and nothing of E.
const char* te_render_text(const char* tmpl, std::size_t* len);

// The {random6} generator's state, for tests.
void te_random_seed_set(std::uint32_t seed);

#endif
