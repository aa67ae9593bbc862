// Typing into a real EDIT control in front: what the user would see.
#include "edit_window.h"
#include "platform.h"

#include <gtest/gtest.h>
#include <string>

namespace {

class TypingIntoEdit : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(window.ready()) << "the test window did not come to the front"; }
    te_edit_window window;
};

// 'a'..'z' then '0'..'9', repeated: a text whose order errors show.
std::string te_cycle_text(size_t n) {
    const char* alphabet = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::string s;
    for (size_t i = 0; i < n; i++) s += alphabet[i % 36];
    return s;
}

TEST_F(TypingIntoEdit, ShortTextArrivesAsTyped) {
    EXPECT_EQ(0, type_text_utf8("abc", 0));
    EXPECT_EQ(L"abc", window.text_after_typing(3));
}

// The line feed is sent as the unit 10, not as an Enter key press; a
// multi-line EDIT control takes that character as a line break and stores
// it as CR LF, as it does on Windows.
TEST_F(TypingIntoEdit, LineFeedBecomesALineBreak) {
    EXPECT_EQ(0, type_text_utf8("a\nb", 0));
    EXPECT_EQ(L"a\r\nb", window.text_after_typing(4));
}

TEST_F(TypingIntoEdit, TwoHundredFiftyCharactersCompleteAndInOrder) {
    std::string text = te_cycle_text(250);
    EXPECT_EQ(0, type_text_utf8(text.c_str(), 0));
    EXPECT_EQ(te_wide(text), window.text_after_typing(250));
}

// 99 units, then U+1F600 as units 100 and 101: the pair is split across
// two SendInput calls and must still arrive as one character.
TEST_F(TypingIntoEdit, SurrogatePairAcrossBatchesArrivesWhole) {
    std::string text = te_cycle_text(99) + "\xF0\x9F\x98\x80" + "yz";
    EXPECT_EQ(0, type_text_utf8(text.c_str(), 0));
    std::wstring typed = window.text_after_typing(103);
    EXPECT_EQ(te_wide(text), typed);
    ASSERT_EQ(103u, typed.size());
    EXPECT_EQ(0xD83D, typed[99]);
    EXPECT_EQ(0xDE00, typed[100]);
}

TEST_F(TypingIntoEdit, MalformedUtf8TypesReplacementCharacter) {
    EXPECT_EQ(0, type_text_utf8("a\xFF" "b", 0));
    EXPECT_EQ(L"a\xFFFD" L"b", window.text_after_typing(3));
}

TEST_F(TypingIntoEdit, NonAsciiTextArrivesUnchanged) {
    std::string text = "caf\xC3\xA9 \xE2\x82\xAC \xE6\x97\xA5\xE6\x9C\xAC";
    EXPECT_EQ(0, type_text_utf8(text.c_str(), 0));
    EXPECT_EQ(te_wide(text), window.text_after_typing(te_wide(text).size()));
}

TEST_F(TypingIntoEdit, DryRunTypesNothing) {
    EXPECT_EQ(-3, type_text_utf8("abc", 1));
    EXPECT_EQ(L"", window.text_after_typing(0));
}

}  // namespace
