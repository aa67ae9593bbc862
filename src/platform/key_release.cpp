#include "key_release.h"

#include "platform.h"

int te_wait_keys_released(int (*held)(void* ctx), void* ctx) {
    std::uint64_t deadline = now_millis() + TE_RELEASE_WAIT_MS;
    while (held(ctx)) {
        if (now_millis() >= deadline) return 0;
        thread_sleep_ms(TE_RELEASE_POLL_MS);
    }
    return 1;
}
