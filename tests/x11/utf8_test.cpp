// What the typing makes of a UTF-8 text before any key is pressed, and the
// way back.
#include "utf8_codec.h"

#include <gtest/gtest.h>

namespace {

using cps = std::vector<std::uint32_t>;

TEST(Utf8Decode, WellFormedSequencesOfEveryLength) {
    EXPECT_EQ(te_utf8_decode("a\xC3\xA9\xE4\xBD\xA0\xF0\x9F\x98\x80"), (cps{'a', 0xE9, 0x4F60, 0x1F600}));
    EXPECT_EQ(te_utf8_decode("\xEF\xBF\xBD"), (cps{0xFFFD}));
    EXPECT_EQ(te_utf8_decode("\xF4\x8F\xBF\xBF"), (cps{0x10FFFF}));
}

TEST(Utf8Decode, MalformedBytesBecomeReplacementCharacters) {
    EXPECT_EQ(te_utf8_decode("a\xFF" "b"), (cps{'a', 0xFFFD, 'b'}));
    EXPECT_EQ(te_utf8_decode("\x80\x80"), (cps{0xFFFD, 0xFFFD}));
    EXPECT_EQ(te_utf8_decode("\xC0\xAF"), (cps{0xFFFD, 0xFFFD}));           // overlong '/'
    EXPECT_EQ(te_utf8_decode("\xE0\x80\xAF"), (cps{0xFFFD}));               // overlong, 3 bytes
    EXPECT_EQ(te_utf8_decode("\xED\xA0\x80"), (cps{0xFFFD}));               // a surrogate
    EXPECT_EQ(te_utf8_decode("\xF4\x90\x80\x80"), (cps{0xFFFD}));           // past U+10FFFF
}

TEST(Utf8Decode, CutOffSequenceKeepsWhatFollows) {
    EXPECT_EQ(te_utf8_decode("\xE4\xBD" "a"), (cps{0xFFFD, 'a'}));
    EXPECT_EQ(te_utf8_decode("x\xF0\x9F\x98"), (cps{'x', 0xFFFD}));
}

TEST(Utf8Append, EveryLengthRoundTrips) {
    std::string out;
    for (std::uint32_t cp : {0x41u, 0x7FFu, 0x800u, 0xFFFDu, 0x10000u, 0x10FFFFu}) te_utf8_append(out, cp);
    EXPECT_EQ(te_utf8_decode(out.c_str()), (cps{0x41, 0x7FF, 0x800, 0xFFFD, 0x10000, 0x10FFFF}));
}

}  // namespace
