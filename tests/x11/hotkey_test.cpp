// The hotkey poll on real key states: xdotool presses the chord through the
// X server, the poll sees each press once.
// gtest first: Xlib defines None as a macro, which gtest uses as a name.
#include <gtest/gtest.h>

#include "platform.h"
#include "x11_harness.h"

namespace {

class Hotkey : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(te_test::display()) << "no X server at DISPLAY"; }
    void TearDown() override { te_test::run({"xdotool", "keyup", "ctrl+shift+e"}); }

    static void keys(const char* how, const char* which) { ASSERT_EQ(te_test::run({"xdotool", how, which}), 0); }
};

TEST_F(Hotkey, EachPressOfTheChordIsSeenOnce) {
    const char* chord = "ctrl+shift+e";
    EXPECT_EQ(hotkey_pressed_now(chord), 0);
    for (int press = 0; press < 3; press++) {
        keys("keydown", "ctrl+shift+e");
        EXPECT_EQ(hotkey_pressed_now(chord), 1) << "press " << press;
        EXPECT_EQ(hotkey_pressed_now(chord), 0);
        EXPECT_EQ(hotkey_pressed_now(chord), 0);
        keys("keyup", "ctrl+shift+e");
        EXPECT_EQ(hotkey_pressed_now(chord), 0);
    }
}

TEST_F(Hotkey, PartOfTheChordIsNoPress) {
    keys("keydown", "ctrl+e");
    EXPECT_EQ(hotkey_pressed_now("ctrl+shift+e"), 0);
    keys("keydown", "shift");
    EXPECT_EQ(hotkey_pressed_now("ctrl+shift+e"), 1);
}

TEST_F(Hotkey, KeysMapToTheirVirtualKeyCodes) {
    struct {
        const char* name;
        int vk;
    } keys_to_check[] = {{"Control_R", 17}, {"Alt_L", 18},  {"Shift_R", 16}, {"Super_L", 91}, {"F5", 116},
                         {"7", 55},         {"q", 81},      {"space", 32},   {"Return", 13},  {"Prior", 33},
                         {"Left", 37},      {"comma", 188}, {"period", 190}, {"Escape", 27},  {"Delete", 46}};
    for (const auto& k : keys_to_check) {
        ASSERT_EQ(key_is_down(k.vk), 0) << k.name;
        keys("keydown", k.name);
        EXPECT_EQ(key_is_down(k.vk), 1) << k.name;
        keys("keyup", k.name);
        EXPECT_EQ(key_is_down(k.vk), 0) << k.name;
    }
}

}  // namespace
