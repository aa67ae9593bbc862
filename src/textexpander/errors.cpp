// The last-error text: one for the process, written under the engine lock.
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "engine.h"
#include "textexpander.h"

namespace {

char tl_err[TE_ERR_CAP];

}  // namespace

void te_set_err_internal(const char* format, ...) {
    char full[1024];
    va_list ap;
    va_start(ap, format);
    std::vsnprintf(full, sizeof full, format, ap);
    va_end(ap);
    // Messages quote what the caller passed (a trigger, a field name); a
    // quoted byte that is not UTF-8 is shown as U+FFFD, so the message is
    // always text a host can decode.
    te_copy_utf8_repaired(tl_err, TE_ERR_CAP, full);
}

// The message is copied under the lock into a buffer of the calling
// thread, so a failure on another thread (the worker's, say) can never be
// read half written. The copy is the message as it stood at the call.
extern "C" const char* te_last_error(void) {
    thread_local char snapshot[TE_ERR_CAP];
    te_engine_guard g(te_engine_lock);
    std::memcpy(snapshot, tl_err, TE_ERR_CAP);
    return snapshot;
}
