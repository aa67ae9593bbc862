// Letter case through the system's own tables (LCMapStringEx, invariant
// locale: the same for every user).
#include "platform.h"

#include <windows.h>

namespace {

std::uint32_t te_case_map(std::uint32_t cp, DWORD flag) {
    wchar_t in[2], out[4];
    int n = 1;
    if (cp >= 0x10000) {
        in[0] = (wchar_t)(0xD800 + ((cp - 0x10000) >> 10));
        in[1] = (wchar_t)(0xDC00 + ((cp - 0x10000) & 0x3FF));
        n = 2;
    } else {
        in[0] = (wchar_t)cp;
    }
    int got = LCMapStringEx(LOCALE_NAME_INVARIANT, flag, in, n, out, 4, nullptr, nullptr, 0);
    if (got != n) return cp;  // a mapping that changes the length is not a simple one
    if (n == 1) return (out[0] >= 0xD800 && out[0] < 0xE000) ? cp : out[0];
    if (out[0] < 0xD800 || out[0] >= 0xDC00 || out[1] < 0xDC00 || out[1] >= 0xE000) return cp;
    return 0x10000 + (((std::uint32_t)out[0] - 0xD800) << 10) + ((std::uint32_t)out[1] - 0xDC00);
}

}  // namespace

std::uint32_t char_upper(std::uint32_t cp) { return cp < 0x80 ? (cp >= 'a' && cp <= 'z' ? cp - 32 : cp) : te_case_map(cp, LCMAP_UPPERCASE); }

std::uint32_t char_lower(std::uint32_t cp) { return cp < 0x80 ? (cp >= 'A' && cp <= 'Z' ? cp + 32 : cp) : te_case_map(cp, LCMAP_LOWERCASE); }
