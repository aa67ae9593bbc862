// Letter case through the C library's Unicode tables (C.UTF-8), whatever
// locale the host set; plain ASCII where the system has no such locale.
#include "platform.h"

#include <locale.h>
#include <wctype.h>

namespace {

locale_t te_unicode_ctype(void) {
    static const locale_t loc = newlocale(LC_CTYPE_MASK, "C.UTF-8", (locale_t)0);
    return loc;
}

}  // namespace

std::uint32_t char_upper(std::uint32_t cp) {
    locale_t loc = te_unicode_ctype();
    if (loc) return (std::uint32_t)towupper_l((wint_t)cp, loc);
    return cp >= 'a' && cp <= 'z' ? cp - 32 : cp;
}

std::uint32_t char_lower(std::uint32_t cp) {
    locale_t loc = te_unicode_ctype();
    if (loc) return (std::uint32_t)towlower_l((wint_t)cp, loc);
    return cp >= 'A' && cp <= 'Z' ? cp + 32 : cp;
}
