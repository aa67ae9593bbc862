// The chord grammar: '+'-separated modifier and key names, portable.
#include "hotkey_chord.h"

#include <gtest/gtest.h>
#include <string>

namespace {

te_chord te_parse(const char* text) {
    te_chord c;
    te_chord_parse(text, &c);
    return c;
}

TEST(ChordParse, ModifiersInAnyCaseAndOrder) {
    for (const char* text : {"ctrl+shift+e", "Ctrl+Shift+E", "SHIFT+CONTROL+E"}) {
        SCOPED_TRACE(text);
        te_chord c = te_parse(text);
        EXPECT_EQ(TE_MOD_CTRL | TE_MOD_SHIFT, c.mods);
        EXPECT_EQ(69, c.vk);
    }
}

TEST(ChordParse, EveryModifierName) {
    EXPECT_EQ(TE_MOD_CTRL, te_parse("CONTROL+A").mods);
    EXPECT_EQ(TE_MOD_ALT, te_parse("alt+A").mods);
    EXPECT_EQ(TE_MOD_WIN, te_parse("WINDOWS+SPACE").mods);
    EXPECT_EQ(TE_MOD_WIN, te_parse("CMD+SPACE").mods);
    EXPECT_EQ(TE_MOD_WIN, te_parse("win+win+SPACE").mods);
    EXPECT_EQ(32, te_parse("CMD+SPACE").vk);
}

// Spaces are part of tokens: "CTRL " and " E" name nothing.
TEST(ChordParse, SpacesAreNeitherSeparatorsNorTrimmed) {
    te_chord c;
    EXPECT_EQ(0, te_chord_parse("CTRL + E", &c));
    EXPECT_EQ(0, c.vk);
    EXPECT_EQ(1, te_chord_parse("CTRL+ ", &c));
    EXPECT_EQ(TE_MOD_CTRL, c.mods);
    EXPECT_EQ(32, c.vk);
}

TEST(ChordParse, EmptyTokensAreSkipped) {
    EXPECT_EQ(69, te_parse("CTRL++E").vk);
    EXPECT_EQ(69, te_parse("+CTRL+E+").vk);
    te_chord c;
    EXPECT_EQ(0, te_chord_parse("+++", &c));
    EXPECT_EQ(0, te_chord_parse("", &c));
    EXPECT_EQ(0, te_chord_parse(nullptr, &c));
}

TEST(ChordParse, WithoutAKeyNothingFires) {
    te_chord c;
    EXPECT_EQ(0, te_chord_parse("CTRL", &c));
    EXPECT_EQ(0, te_chord_parse("CTRL+K+FOO", &c));  // the last non-modifier decides
    EXPECT_EQ(1, te_chord_parse("CTRL+K+Q", &c));
    EXPECT_EQ('Q', c.vk);
}

TEST(ChordKeys, FunctionKeys) {
    EXPECT_EQ(112, te_chord_key_code("F1"));
    EXPECT_EQ(116, te_chord_key_code("F5"));
    EXPECT_EQ(120, te_chord_key_code("f9"));
    EXPECT_EQ(121, te_chord_key_code("F10"));
    EXPECT_EQ(123, te_chord_key_code("f12"));
    EXPECT_EQ(70, te_chord_key_code("F"));
    EXPECT_EQ(0, te_chord_key_code("F0"));
    EXPECT_EQ(0, te_chord_key_code("F13"));
    EXPECT_EQ(0, te_chord_key_code("F1A"));
}

TEST(ChordKeys, LettersDigitsAndNames) {
    EXPECT_EQ('A', te_chord_key_code("a"));
    EXPECT_EQ('Z', te_chord_key_code("Z"));
    EXPECT_EQ('0', te_chord_key_code("0"));
    EXPECT_EQ('9', te_chord_key_code("9"));
    EXPECT_EQ(0, te_chord_key_code("AB"));
    EXPECT_EQ(0, te_chord_key_code("!"));
    const struct {
        const char* name;
        int vk;
    } names[] = {{"SPACE", 32},   {" ", 32},       {"TAB", 9},       {"ENTER", 13},    {"RETURN", 13},
                 {"ESCAPE", 27},  {"ESC", 27},     {"BACKSPACE", 8}, {"INSERT", 45},   {"DELETE", 46},
                 {"DEL", 46},     {"HOME", 36},    {"END", 35},      {"PAGEUP", 33},   {"PAGEDOWN", 34},
                 {"UP", 38},      {"DOWN", 40},    {"LEFT", 37},     {"RIGHT", 39},    {"OEM_COMMA", 188},
                 {"oem_period", 190}};
    for (const auto& n : names) EXPECT_EQ(n.vk, te_chord_key_code(n.name)) << n.name;
}

TEST(ChordParse, AltOemPeriod) {
    te_chord c = te_parse("ALT+OEM_PERIOD");
    EXPECT_EQ(TE_MOD_ALT, c.mods);
    EXPECT_EQ(190, c.vk);
}

// Only the first 127 bytes count: a key named past them is never seen.
TEST(ChordParse, OnlyTheFirst127BytesAreRead) {
    std::string text = "CTRL+" + std::string(121, '+') + "E";  // 'E' is byte 127
    ASSERT_EQ(127u, text.size());
    EXPECT_EQ(69, te_parse(text.c_str()).vk);
    text = "CTRL+" + std::string(122, '+') + "E";  // 'E' is byte 128
    EXPECT_EQ(0, te_parse(text.c_str()).vk);
    std::string long200 = "ALT+Q+" + std::string(121, '+') + std::string(73, 'W');
    ASSERT_EQ(200u, long200.size());
    te_chord c = te_parse(long200.c_str());
    EXPECT_EQ(TE_MOD_ALT, c.mods);
    EXPECT_EQ('Q', c.vk);  // the W token lies past byte 127
}

}  // namespace
