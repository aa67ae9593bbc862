#include "caret_steps.h"

#include <cstdint>

namespace {

std::uint32_t te_decode(const unsigned char* s, std::size_t len, std::size_t* i) {
    unsigned char c = s[*i];
    int n = c < 0x80 ? 1 : c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
    if (*i + (std::size_t)n > len) n = 1;
    std::uint32_t cp = n == 1 ? c : c & (0xFF >> (n + 1));
    for (int k = 1; k < n; k++) cp = (cp << 6) | (s[*i + k] & 0x3F);
    *i += (std::size_t)n;
    return cp;
}

bool te_in(std::uint32_t cp, std::uint32_t lo, std::uint32_t hi) { return cp >= lo && cp <= hi; }

// Characters that extend the one before them.
bool te_extends(std::uint32_t cp) {
    return te_in(cp, 0x0300, 0x036F) || te_in(cp, 0x0483, 0x0489) || te_in(cp, 0x0591, 0x05BD) ||
           te_in(cp, 0x0610, 0x061A) || te_in(cp, 0x064B, 0x065F) || te_in(cp, 0x1AB0, 0x1AFF) ||
           te_in(cp, 0x1DC0, 0x1DFF) || te_in(cp, 0x20D0, 0x20FF) || te_in(cp, 0xFE00, 0xFE0F) ||
           te_in(cp, 0xFE20, 0xFE2F) || te_in(cp, 0x1F3FB, 0x1F3FF) || te_in(cp, 0xE0020, 0xE007F) ||
           te_in(cp, 0xE0100, 0xE01EF) || cp == 0x200D;
}

bool te_untyped_control(std::uint32_t cp) {
    return (cp < 0x20 && cp != '\n' && cp != '\r' && cp != '\t') || te_in(cp, 0x7F, 0x9F);
}

bool te_regional(std::uint32_t cp) { return te_in(cp, 0x1F1E6, 0x1F1FF); }

}  // namespace

std::size_t te_caret_steps(const char* text, std::size_t len) {
    const unsigned char* s = reinterpret_cast<const unsigned char*>(text);
    std::size_t steps = 0, i = 0;
    std::uint32_t prev = 0;
    bool flag_open = false;  // a regional indicator waits for its pair
    while (i < len) {
        std::uint32_t cp = te_decode(s, len, &i);
        bool joined = steps > 0 && (te_extends(cp) || prev == 0x200D || (prev == '\r' && cp == '\n') ||
                                    (flag_open && te_regional(cp)));
        flag_open = te_regional(cp) && !(flag_open && joined);
        if (!te_untyped_control(cp) && !joined) steps++;
        prev = cp;
    }
    return steps;
}
