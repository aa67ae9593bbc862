// Byte and UTF-8 helpers. Every cut the engine makes goes through
// te_utf8_cut_len, so no stored field ever ends inside a character (a field
// like that could never be written out as JSON again).
#include <cstring>

#include "engine.h"
#include "utf8_codec.h"

namespace {

// Length of the valid character at s[0..avail), or 0 when it is not one.
int te_utf8_char_len(const unsigned char* s, std::size_t avail) {
    int n = te_utf8_lead_length(s[0]);
    if (n == 0 || (std::size_t)n > avail) return 0;
    for (int i = 1; i < n; i++)
        if ((s[i] & 0xC0) != 0x80) return 0;
    if (n == 3 && s[0] == 0xE0 && s[1] < 0xA0) return 0;  // overlong
    if (n == 3 && s[0] == 0xED && s[1] >= 0xA0) return 0;  // surrogate
    if (n == 4 && s[0] == 0xF0 && s[1] < 0x90) return 0;  // overlong
    if (n == 4 && s[0] == 0xF4 && s[1] >= 0x90) return 0;  // beyond U+10FFFF
    return n;
}

}  // namespace

std::size_t te_utf8_trim_partial(const char* s, std::size_t n) {
    const unsigned char* u = reinterpret_cast<const unsigned char*>(s);
    std::size_t lead = n;
    while (lead > 0 && n - lead < 3 && (u[lead - 1] & 0xC0) == 0x80) lead--;
    if (lead > 0) {
        int want = te_utf8_lead_length(u[lead - 1]);
        if (want > 1 && (std::size_t)want > n - (lead - 1)) return lead - 1;
    }
    return n;
}

std::size_t te_utf8_cut_len(const char* s, std::size_t max) {
    std::size_t n = 0;
    while (n < max && s[n]) n++;
    if (n < max || !s[n]) return n;
    return te_utf8_trim_partial(s, n);  // cut inside the text
}

void te_copy_cut(char* dst, std::size_t cap, const char* src) {
    std::size_t n = te_utf8_cut_len(src, cap - 1);
    std::memmove(dst, src, n);
    dst[n] = 0;
}

std::size_t te_utf8_count(const char* s) {
    std::size_t count = 0;
    for (; *s; s++)
        if ((*s & 0xC0) != 0x80) count++;
    return count;
}

int te_utf8_valid(const char* s, std::size_t n) {
    const unsigned char* u = reinterpret_cast<const unsigned char*>(s);
    std::size_t i = 0;
    while (i < n) {
        if (u[i] < 0x80) {
            i++;
            continue;
        }
        int len = te_utf8_char_len(u + i, n - i);
        if (!len) return 0;
        i += (std::size_t)len;
    }
    return 1;
}

void te_copy_utf8_repaired(char* dst, std::size_t cap, const char* src) {
    const unsigned char* u = reinterpret_cast<const unsigned char*>(src);
    std::size_t avail = std::strlen(src), o = 0, i = 0;
    static const char te_replacement[] = "\xEF\xBF\xBD";
    while (i < avail) {
        int len = te_utf8_char_len(u + i, avail - i);
        const char* piece = len ? src + i : te_replacement;
        std::size_t plen = len ? (std::size_t)len : 3;
        if (o + plen > cap - 1) break;
        std::memcpy(dst + o, piece, plen);
        o += plen;
        i += len ? (std::size_t)len : 1;
    }
    dst[o] = 0;
}

// FNV-1a.
std::uint32_t te_hash_bytes(const char* s, std::size_t n) {
    std::uint32_t h = 2166136261u;
    for (std::size_t i = 0; i < n; i++) {
        h ^= (unsigned char)s[i];
        h *= 16777619u;
    }
    return h;
}

std::uint32_t te_tail_key(const char* end, std::size_t n) {
    std::uint32_t key = 0;
    for (std::size_t i = n < 4 ? n : 4; i > 0; i--) key = (key << 8) | (unsigned char)end[-(long)i];
    return key;
}

std::uint32_t te_fold_key(const char* end, std::size_t n) {
    std::uint32_t key = 0;
    for (std::size_t i = n < 4 ? n : 4; i > 0; i--) {
        unsigned char c = (unsigned char)end[-(long)i];
        if (c >= 'A' && c <= 'Z') c = (unsigned char)(c + 32);
        key = (key << 8) | (c >= 0x80 ? 0x80u : c);
    }
    return key;
}
