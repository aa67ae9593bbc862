// UTF-8 text as a terminal shows it.
#include "text_cells.h"

#include <clocale>
#include <cstring>
#include <cwchar>
#include <cwctype>
#include <langinfo.h>

namespace {

const char32_t TE_BAD = 0xFFFD;

// Decodes the character at s[at]; returns its length in bytes (1 for a
// byte that does not start a valid character, with *cp = U+FFFD).
std::size_t te_decode(const std::string& s, std::size_t at, char32_t* cp) {
    unsigned char b = (unsigned char)s[at];
    std::size_t len = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
    *cp = TE_BAD;
    if (len == 0 || at + len > s.size()) return 1;
    char32_t c = len == 1 ? b : (char32_t)(b & (0x7F >> len));
    for (std::size_t i = 1; i < len; i++) {
        unsigned char t = (unsigned char)s[at + i];
        if ((t >> 6) != 2) return 1;
        c = (c << 6) | (t & 0x3F);
    }
    static const char32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < least[len] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 1;
    *cp = c;
    return len;
}

void te_encode(char32_t c, std::string* out) {
    if (c < 0x80) {
        *out += (char)c;
    } else if (c < 0x800) {
        *out += (char)(0xC0 | (c >> 6));
        *out += (char)(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        *out += (char)(0xE0 | (c >> 12));
        *out += (char)(0x80 | ((c >> 6) & 0x3F));
        *out += (char)(0x80 | (c & 0x3F));
    } else {
        *out += (char)(0xF0 | (c >> 18));
        *out += (char)(0x80 | ((c >> 12) & 0x3F));
        *out += (char)(0x80 | ((c >> 6) & 0x3F));
        *out += (char)(0x80 | (c & 0x3F));
    }
}

int te_char_cells(char32_t c) {
    int w = wcwidth((wchar_t)c);
    return w < 0 ? 1 : w;
}

bool te_is_control(char32_t c) { return c < 0x20 || (c >= 0x7F && c < 0xA0) || c == TE_BAD; }

}  // namespace

void te_use_utf8_ctype(void) {
    if (std::setlocale(LC_CTYPE, "") && std::strcmp(nl_langinfo(CODESET), "UTF-8") == 0) return;
    std::setlocale(LC_CTYPE, "C.UTF-8");
}

std::string te_one_line(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        char32_t c;
        i += te_decode(text, i, &c);
        if (c == '\r' && i < text.size() && text[i] == '\n') continue;  // "\r\n" is one line break
        if (c == '\n' || c == '\r') out += "⏎";
        else if (c == '\t') out += ' ';
        else if (te_is_control(c)) out += '?';
        else te_encode(c, &out);
    }
    return out;
}

int te_cell_width(const std::string& text) {
    int cells = 0;
    for (std::size_t i = 0; i < text.size();) {
        char32_t c;
        i += te_decode(text, i, &c);
        cells += te_char_cells(c);
    }
    return cells;
}

std::string te_fit_cells(const std::string& text, int cells) {
    if (te_cell_width(text) <= cells) return text;
    std::size_t keep = 0;
    int used = 0;
    while (keep < text.size()) {
        char32_t c;
        std::size_t len = te_decode(text, keep, &c);
        if (used + te_char_cells(c) > cells - 1) break;  // one cell for "…"
        used += te_char_cells(c);
        keep += len;
    }
    return cells < 1 ? "" : text.substr(0, keep) + "…";
}

std::string te_fold_case(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        char32_t c;
        i += te_decode(text, i, &c);
        te_encode((char32_t)std::towlower((wint_t)c), &out);
    }
    return out;
}
