#include "match.h"

#include <cstring>

#include "engine.h"
#include "textexpander.h"

namespace {

bool te_is_skipped_space(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

int te_ascii_equal_n(const char* a, std::size_t a_len, const char* b, std::size_t b_len) {
    if (a_len != b_len) return 0;
    for (std::size_t i = 0; i < a_len; i++) {
        unsigned char x = (unsigned char)a[i], y = (unsigned char)b[i];
        if (x >= 'a' && x <= 'z') x = (unsigned char)(x - 32);
        if (y >= 'a' && y <= 'z') y = (unsigned char)(y - 32);
        if (x != y) return 0;
    }
    return 1;
}

}  // namespace

bool te_is_word_byte(unsigned char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}

te_text_end te_text_end_of(const char* text) {
    te_text_end t;
    t.text = text;
    t.len = std::strlen(text);
    t.trimmed = t.len;
    while (t.trimmed > 0 && te_is_skipped_space(text[t.trimmed - 1])) t.trimmed--;
    t.tail = te_tail_key(text + t.trimmed, t.trimmed);
    t.fold = te_fold_key(text + t.trimmed, t.trimmed);
    t.word_before = 0;
    return t;
}

const char* te_trailing_match(const te_text_end& t, const char* trigger, std::size_t tlen) {
    if (tlen == 0 || t.len < tlen) return nullptr;
    std::size_t end = t.trimmed > tlen ? t.trimmed : tlen;
    std::size_t start = end - tlen;
    if (std::memcmp(t.text + start, trigger, tlen) != 0) return nullptr;
    bool after_word = start > 0 ? te_is_word_byte((unsigned char)t.text[start - 1]) : t.word_before != 0;
    if (after_word) return nullptr;
    return t.text + start;
}

bool te_tail_may_match(const te_text_end& t, std::uint32_t tail, std::size_t tlen) {
    // Only when the trigger ends exactly at `trimmed` with four bytes to
    // compare is the key conclusive.
    if (tlen < 4 || t.trimmed < tlen) return true;
    return tail == t.tail;
}

void te_program_init(te_program* p, const char* name) {
    p->name = name;
    te_copy_cut(p->base, sizeof p->base, name);
    char* dot = std::strrchr(p->base, '.');
    if (dot && te_ascii_casecmp(dot, ".exe") == 0) *dot = 0;
    p->name_len = std::strlen(name);
    p->base_len = std::strlen(p->base);
}

int te_program_matches(const te_program& p, const char* n, std::size_t n_len) {
    return te_ascii_equal_n(n, n_len, p.name, p.name_len) || te_ascii_equal_n(n, n_len, p.base, p.base_len);
}

int te_apps_allow(const char* apps, const te_program& p) {
    if (!apps[0] || std::strcmp(apps, "*") == 0) return 1;
    const char* s = apps;
    while (*s) {
        const char* comma = std::strchr(s, ',');
        const char* end = comma ? comma : s + std::strlen(s);
        const char* piece = s;
        while (piece < end && (*piece == ' ' || *piece == '\t')) piece++;
        if (piece < end && te_program_matches(p, piece, (std::size_t)(end - piece))) return 1;
        if (!comma) break;
        s = comma + 1;
    }
    return 0;
}

extern "C" const char* te_match_trailing_trigger(const char* text, const char* trigger) {
    if (!text || !trigger || !trigger[0]) return nullptr;
    return te_trailing_match(te_text_end_of(text), trigger, std::strlen(trigger));
}
