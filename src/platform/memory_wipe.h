// Overwriting memory that held what the user typed.
#ifndef TE_MEMORY_WIPE_H
#define TE_MEMORY_WIPE_H

#include <cstddef>

// Sets the `n` bytes at `p` to zero through volatile stores, so the
// compiler cannot leave the writes out as dead.
void te_wipe(void* p, std::size_t n);

#endif
