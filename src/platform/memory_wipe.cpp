#include "memory_wipe.h"

void te_wipe(void* p, std::size_t n) {
    volatile unsigned char* bytes = static_cast<volatile unsigned char*>(p);
    for (std::size_t i = 0; i < n; i++) bytes[i] = 0;
}
