#include "case_forms.h"

#include <cstdint>
#include <cstring>

#include "platform.h"

namespace {

// The code point at s[*i] (malformed bytes as themselves, one at a time),
// advancing *i.
std::uint32_t te_next_cp(const char* s, std::size_t len, std::size_t* i) {
    const unsigned char* u = reinterpret_cast<const unsigned char*>(s);
    unsigned char c = u[*i];
    int n = c < 0x80 ? 1 : c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 ? 2 : 0;
    if (n == 0 || *i + (std::size_t)n > len) {
        (*i)++;
        return 0xFFFFFFFFu;  // not a character: copied as the byte it is
    }
    std::uint32_t cp = n == 1 ? c : c & (0xFF >> (n + 1));
    for (int k = 1; k < n; k++) {
        if ((u[*i + k] & 0xC0) != 0x80) {
            (*i)++;
            return 0xFFFFFFFFu;
        }
        cp = (cp << 6) | (u[*i + k] & 0x3F);
    }
    *i += (std::size_t)n;
    return cp;
}

std::size_t te_encode(std::uint32_t cp, char* out) {
    if (cp < 0x80) return out[0] = (char)cp, 1;
    if (cp < 0x800) {
        out[0] = (char)(0xC0 | (cp >> 6));
        out[1] = (char)(0x80 | (cp & 0x3F));
        return 2;
    }
    if (cp < 0x10000) {
        out[0] = (char)(0xE0 | (cp >> 12));
        out[1] = (char)(0x80 | ((cp >> 6) & 0x3F));
        out[2] = (char)(0x80 | (cp & 0x3F));
        return 3;
    }
    out[0] = (char)(0xF0 | (cp >> 18));
    out[1] = (char)(0x80 | ((cp >> 12) & 0x3F));
    out[2] = (char)(0x80 | ((cp >> 6) & 0x3F));
    out[3] = (char)(0x80 | (cp & 0x3F));
    return 4;
}

bool te_has_case(std::uint32_t cp) { return char_upper(cp) != cp || char_lower(cp) != cp; }

// Copies text[0..len) into out[cap], each character through `map` while
// `left` (the number of characters with case still to map; -1 for all) is
// not 0. The caret follows; *whole (may be null) tells whether all of the
// text fitted.
std::size_t te_map_text(const char* text, std::size_t len, std::uint32_t (*map)(std::uint32_t), int left,
                        std::size_t* caret, char* out, std::size_t cap, bool* whole = nullptr) {
    std::size_t i = 0, n = 0;
    std::size_t new_caret = caret ? *caret : 0;
    bool caret_set = false;
    while (i < len) {
        if (caret && !caret_set && *caret <= i) {
            new_caret = n;
            caret_set = true;
        }
        std::size_t from = i;
        std::uint32_t cp = te_next_cp(text, len, &i);
        char buf[4];
        const char* piece = text + from;
        std::size_t plen = i - from;
        if (cp != 0xFFFFFFFFu && left != 0 && te_has_case(cp)) {
            if (left > 0) left--;
            plen = te_encode(map(cp), buf);
            piece = buf;
        }
        if (n + plen > cap) {
            i = from;
            break;
        }
        std::memcpy(out + n, piece, plen);
        n += plen;
    }
    if (caret && !caret_set) new_caret = *caret <= len ? n : (std::size_t)-1;
    if (caret) *caret = new_caret;
    if (whole) *whole = i >= len;
    return n;
}

int te_cased_letters(const char* s, std::size_t len) {
    int count = 0;
    for (std::size_t i = 0; i < len;) {
        std::uint32_t cp = te_next_cp(s, len, &i);
        if (cp != 0xFFFFFFFFu && te_has_case(cp)) count++;
    }
    return count;
}

}  // namespace

std::size_t te_case_variant(const char* trigger, std::size_t len, te_case_form form, char* out, std::size_t cap) {
    if (form == TE_CASE_AS_IS || (form == TE_CASE_ALL && te_cased_letters(trigger, len) < 2)) return 0;
    bool whole;
    std::size_t n = te_map_text(trigger, len, char_upper, form == TE_CASE_FIRST ? 1 : -1, nullptr, out, cap, &whole);
    if (!whole || (n == len && std::memcmp(out, trigger, len) == 0)) return 0;
    return n;
}

std::size_t te_case_apply(const char* text, std::size_t len, te_case_form form, std::size_t* caret, char* out,
                          std::size_t cap) {
    int left = form == TE_CASE_FIRST ? 1 : form == TE_CASE_ALL ? -1 : 0;
    return te_map_text(text, len, char_upper, left, caret, out, cap);
}

std::size_t te_text_upper(const char* text, std::size_t len, char* out, std::size_t cap) {
    return te_map_text(text, len, char_upper, -1, nullptr, out, cap);
}

std::size_t te_text_lower(const char* text, std::size_t len, char* out, std::size_t cap) {
    return te_map_text(text, len, char_lower, -1, nullptr, out, cap);
}
