// Fresh-press detection with real key presses: the keys are injected with
// SendInput as virtual-key events and read back through GetAsyncKeyState.
#include "edit_window.h"
#include "platform.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace {

const int TE_K = 'K';
const int TE_J = 'J';
const int TE_ALL_KEYS[] = {VK_CONTROL, VK_MENU, VK_SHIFT, VK_LWIN, VK_RWIN, 'K', 'J'};

// Key states belong to the whole desktop and outlive this process, so
// every case starts and ends with all its keys released.
class HotkeyWithRealKeys : public ::testing::Test {
protected:
    // A poll with nothing held also leaves the process-wide edge state
    // released, whatever an earlier case in this process did.
    void SetUp() override {
        release_all();
        hotkey_pressed_now("CTRL+K");
    }
    void TearDown() override { release_all(); }
    static void release_all() {
        for (int vk : TE_ALL_KEYS) te_send_key(vk, false);
    }
};

TEST_F(HotkeyWithRealKeys, KeyIsDownFollowsInjectedPresses) {
    EXPECT_EQ(0, key_is_down(TE_K));
    te_send_key(TE_K, true);
    EXPECT_EQ(1, key_is_down(TE_K));
    te_send_key(TE_K, false);
    EXPECT_EQ(0, key_is_down(TE_K));
}

TEST_F(HotkeyWithRealKeys, ChordFiresOnceWhenBothKeysGoDown) {
    EXPECT_EQ(0, hotkey_pressed_now("CTRL+K"));
    te_send_key(VK_CONTROL, true);
    EXPECT_EQ(0, hotkey_pressed_now("CTRL+K"));  // Ctrl alone
    te_send_key(TE_K, true);
    EXPECT_EQ(1, hotkey_pressed_now("CTRL+K"));
    EXPECT_EQ(0, hotkey_pressed_now("CTRL+K"));  // still held: no new press
    EXPECT_EQ(0, hotkey_pressed_now("CTRL+K"));
}

TEST_F(HotkeyWithRealKeys, KeyAloneDoesNotFire) {
    EXPECT_EQ(0, hotkey_pressed_now("CTRL+K"));
    te_send_key(TE_K, true);
    EXPECT_EQ(0, hotkey_pressed_now("CTRL+K"));
}

TEST_F(HotkeyWithRealKeys, ReleasingAndPressingTheKeyAgainFiresAgain) {
    te_send_key(VK_CONTROL, true);
    te_send_key(TE_K, true);
    EXPECT_EQ(1, hotkey_pressed_now("ctrl+k"));
    te_send_key(TE_K, false);
    EXPECT_EQ(0, hotkey_pressed_now("ctrl+k"));
    te_send_key(TE_K, true);
    EXPECT_EQ(1, hotkey_pressed_now("ctrl+k"));
}

TEST_F(HotkeyWithRealKeys, ExtraModifierDoesNotPreventTheChord) {
    EXPECT_EQ(0, hotkey_pressed_now("CTRL+K"));
    te_send_key(VK_SHIFT, true);
    te_send_key(VK_CONTROL, true);
    te_send_key(TE_K, true);
    EXPECT_EQ(1, hotkey_pressed_now("CTRL+K"));
}

TEST_F(HotkeyWithRealKeys, EitherWindowsKeyCountsForWin) {
    EXPECT_EQ(0, hotkey_pressed_now("WIN+K"));
    te_send_key(TE_K, true);
    te_send_key(VK_RWIN, true);
    EXPECT_EQ(1, hotkey_pressed_now("WIN+K"));
    te_send_key(VK_RWIN, false);
    EXPECT_EQ(0, hotkey_pressed_now("WIN+K"));
    te_send_key(VK_LWIN, true);
    EXPECT_EQ(1, hotkey_pressed_now("CMD+K"));
}

// Only the key is remembered between polls: a change of modifiers alone
// keeps the edge state, a change of key restarts it.
TEST_F(HotkeyWithRealKeys, ChangingTheChordTextWhileHeld) {
    te_send_key(VK_CONTROL, true);
    te_send_key(TE_K, true);
    EXPECT_EQ(1, hotkey_pressed_now("CTRL+K"));
    te_send_key(VK_MENU, true);
    EXPECT_EQ(0, hotkey_pressed_now("ALT+K"));
    te_send_key(TE_J, true);
    EXPECT_EQ(1, hotkey_pressed_now("CTRL+J"));
}

TEST_F(HotkeyWithRealKeys, ChordWithoutAKeyNeverFiresAndKeepsTheState) {
    te_send_key(VK_CONTROL, true);
    te_send_key(TE_K, true);
    EXPECT_EQ(1, hotkey_pressed_now("CTRL+K"));
    EXPECT_EQ(0, hotkey_pressed_now("CTRL"));
    EXPECT_EQ(0, hotkey_pressed_now("CTRL + K"));
    EXPECT_EQ(0, hotkey_pressed_now(""));
    EXPECT_EQ(0, hotkey_pressed_now(nullptr));
    EXPECT_EQ(0, hotkey_pressed_now("CTRL+K"));  // not re-armed
}

}  // namespace
