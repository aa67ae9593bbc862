// UTF-8 to code points and back: the way the typing sees a text, the way
// the text window writes down what it receives, and the engine's byte-level
// checks.
#ifndef TE_UTF8_CODEC_H
#define TE_UTF8_CODEC_H

#include <cstdint>
#include <string>
#include <vector>

// Length of the sequence a lead byte announces (1 to 4); 0 for a byte that
// cannot lead one (a continuation byte, C0, C1, F5..FF).
int te_utf8_lead_length(unsigned char lead);

// Decodes a NUL-terminated UTF-8 text. Every byte that does not start a
// well-formed sequence (stray continuation bytes, overlong forms,
// surrogates, values past U+10FFFF, cut-off sequences) becomes U+FFFD.
std::vector<std::uint32_t> te_utf8_decode(const char* text);

// Appends the UTF-8 form of one code point (at most U+10FFFF).
void te_utf8_append(std::string& out, std::uint32_t cp);

#endif
