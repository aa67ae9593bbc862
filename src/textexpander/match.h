// Trailing-trigger matching and program-name comparison.
#ifndef TE_MATCH_H
#define TE_MATCH_H

#include <cstddef>
#include <cstdint>

// A text measured once for many trigger tests.
struct te_text_end {
    const char* text;
    std::size_t len;       // bytes
    std::size_t trimmed;   // len less trailing spaces, tabs, CR and LF
    std::uint32_t tail;    // te_tail_key of the four bytes before `trimmed`
    std::uint32_t fold;    // te_fold_key of the same bytes
    int word_before;       // a word character precedes text[0] (0 for a whole text)
};

te_text_end te_text_end_of(const char* text);

// An ASCII letter, digit or underscore: a trigger never follows one.
bool te_is_word_byte(unsigned char c);

// Start of the trigger (`tlen` bytes) that ends the text, or null. Trailing
// white space is skipped only while more than tlen bytes remain; the byte
// before the trigger (word_before at the text's start) must not be a word
// byte.
const char* te_trailing_match(const te_text_end& t, const char* trigger, std::size_t tlen);

// False when a trigger of tlen bytes whose te_tail_key is `tail` cannot
// end the text; true when it may (te_trailing_match decides).
bool te_tail_may_match(const te_text_end& t, std::uint32_t tail, std::size_t tlen);

// A program name as a watch pass compares it: the name itself and its base
// name (cut to 127 bytes, a final ".exe" dropped ignoring case).
struct te_program {
    const char* name;
    std::size_t name_len;
    char base[128];
    std::size_t base_len;
};

void te_program_init(te_program* p, const char* name);
// 1 when `n` (n_len bytes) equals the name or its base name, ignoring ASCII case.
int te_program_matches(const te_program& p, const char* n, std::size_t n_len);
// 1 when the comma-separated `apps` list lets the snippet expand for p.
int te_apps_allow(const char* apps, const te_program& p);

#endif
