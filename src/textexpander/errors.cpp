// The last-error text: one for the process, written under the engine lock.
#include <cstdarg>
#include <cstdio>

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
    te_copy_cut(tl_err, TE_ERR_CAP, full);
}

extern "C" const char* te_last_error(void) { return tl_err; }
