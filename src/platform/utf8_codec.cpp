#include "utf8_codec.h"

namespace {

const std::uint32_t TE_REPLACEMENT = 0xFFFD;

// The smallest value each length may encode, to refuse overlong forms.
std::uint32_t te_min_value(int len) {
    return len == 2 ? 0x80 : len == 3 ? 0x800 : 0x10000;
}

// Decodes the sequence at s of length len into *cp; 0 when malformed. Stops
// at the first byte that is not a continuation, so never reads past a NUL.
int te_decode_at(const unsigned char* s, int len, std::uint32_t* cp) {
    std::uint32_t v = s[0] & (0xFF >> (len + 1));
    for (int i = 1; i < len; i++) {
        if ((s[i] & 0xC0) != 0x80) return 0;
        v = (v << 6) | (s[i] & 0x3F);
    }
    if (v < te_min_value(len) || v > 0x10FFFF) return 0;
    if (v >= 0xD800 && v <= 0xDFFF) return 0;
    *cp = v;
    return 1;
}

// How many bytes a malformed sequence at s gives up: the lead byte and the
// continuation bytes that follow it, at most len - 1 of them.
int te_malformed_span(const unsigned char* s, int len) {
    int n = 1;
    while (n < len && (s[n] & 0xC0) == 0x80) n++;
    return n;
}

}  // namespace

int te_utf8_lead_length(unsigned char lead) {
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 0;
}

std::vector<std::uint32_t> te_utf8_decode(const char* text) {
    std::vector<std::uint32_t> out;
    const unsigned char* s = reinterpret_cast<const unsigned char*>(text);
    while (*s) {
        int len = te_utf8_lead_length(*s);
        if (len <= 1) {
            out.push_back(len == 1 ? *s : TE_REPLACEMENT);
            s++;
            continue;
        }
        std::uint32_t cp = TE_REPLACEMENT;
        int used = te_decode_at(s, len, &cp) ? len : te_malformed_span(s, len);
        out.push_back(cp);
        s += used;
    }
    return out;
}

void te_utf8_append(std::string& out, std::uint32_t cp) {
    if (cp < 0x80) {
        out += (char)cp;
    } else if (cp < 0x800) {
        out += (char)(0xC0 | (cp >> 6));
        out += (char)(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += (char)(0xE0 | (cp >> 12));
        out += (char)(0x80 | ((cp >> 6) & 0x3F));
        out += (char)(0x80 | (cp & 0x3F));
    } else {
        out += (char)(0xF0 | (cp >> 18));
        out += (char)(0x80 | ((cp >> 12) & 0x3F));
        out += (char)(0x80 | ((cp >> 6) & 0x3F));
        out += (char)(0x80 | (cp & 0x3F));
    }
}
