// The records and batches handed to SendInput, watched through the
// keyboard seam; the refused batch is also checked in a real EDIT.
#include "edit_window.h"
#include "keyboard_seam.h"
#include "platform.h"

#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <vector>

namespace {

// What the recording seam saw and how it answers.
std::vector<std::vector<INPUT>> te_sent;
std::vector<ULONGLONG> te_sent_at;
int te_send_size_arg = 0;
int te_refuse_call = 0;         // 1-based call to answer 0, or 0 for none
bool te_forward_to_system = false;
bool te_answer_one = false;     // answer 1 however many records were given
bool te_take_one = false;       // send the first record only, and answer 1
int te_foreground_calls = 0;
HWND te_fake_foreground = reinterpret_cast<HWND>(0x1234);

UINT WINAPI te_recording_send(UINT count, LPINPUT inputs, int size) {
    te_sent.emplace_back(inputs, inputs + count);
    te_sent_at.push_back(GetTickCount64());
    te_send_size_arg = size;
    if ((int)te_sent.size() == te_refuse_call) return 0;
    if (te_take_one) return SendInput(1, inputs, size);
    if (te_forward_to_system) return SendInput(count, inputs, size);
    return te_answer_one ? 1 : count;
}

HWND WINAPI te_recording_foreground(void) {
    te_foreground_calls++;
    return te_fake_foreground;
}

bool te_fake_runs_above = false;  // the window in front belongs to an elevated program

int te_recording_runs_above(HWND window) { return window == te_fake_foreground && te_fake_runs_above; }

class KeyboardBatches : public ::testing::Test {
protected:
    void SetUp() override {
        te_sent.clear();
        te_sent_at.clear();
        te_send_size_arg = 0;
        te_refuse_call = 0;
        te_forward_to_system = false;
        te_answer_one = false;
        te_take_one = false;
        te_foreground_calls = 0;
        te_fake_foreground = reinterpret_cast<HWND>(0x1234);
        te_fake_runs_above = false;
        saved = te_keyboard_swap_calls({te_recording_send, te_recording_foreground, te_recording_runs_above});
    }
    void TearDown() override { te_keyboard_swap_calls(saved); }

    std::vector<size_t> batch_sizes() const {
        std::vector<size_t> sizes;
        for (const auto& b : te_sent) sizes.push_back(b.size());
        return sizes;
    }

    te_keyboard_calls saved;
};

std::string te_ascii(size_t n) { return std::string(n, 'q'); }

TEST_F(KeyboardBatches, EachUnitIsADownUpPairOfUnicodeRecords) {
    ULONG_PTR extra = (ULONG_PTR)GetMessageExtraInfo();
    ASSERT_EQ(0, type_text_utf8("abc", 0));
    ASSERT_EQ(1u, te_sent.size());
    ASSERT_EQ(6u, te_sent[0].size());
    EXPECT_EQ((int)sizeof(INPUT), te_send_size_arg);
    EXPECT_EQ(40, te_send_size_arg);
    const char* letters = "abc";
    for (int i = 0; i < 6; i++) {
        const INPUT& r = te_sent[0][(size_t)i];
        SCOPED_TRACE(i);
        EXPECT_EQ((DWORD)INPUT_KEYBOARD, r.type);
        EXPECT_EQ(0, r.ki.wVk);
        EXPECT_EQ((WORD)letters[i / 2], r.ki.wScan);
        EXPECT_EQ((DWORD)(i % 2 ? KEYEVENTF_UNICODE | KEYEVENTF_KEYUP : KEYEVENTF_UNICODE), r.ki.dwFlags);
        EXPECT_EQ(0u, r.ki.time);
        EXPECT_EQ(extra, r.ki.dwExtraInfo);
    }
}

TEST_F(KeyboardBatches, ControlCharactersAreSentAsTheirUnits) {
    ASSERT_EQ(0, type_text_utf8("a\nb\r\t", 0));
    ASSERT_EQ(1u, te_sent.size());
    std::vector<WORD> downs;
    for (size_t i = 0; i < te_sent[0].size(); i += 2) downs.push_back(te_sent[0][i].ki.wScan);
    EXPECT_EQ((std::vector<WORD>{97, 10, 98, 13, 9}), downs);
}

TEST_F(KeyboardBatches, AtMostOneHundredUnitsPerCall) {
    ASSERT_EQ(0, type_text_utf8(te_ascii(250).c_str(), 0));
    EXPECT_EQ((std::vector<size_t>{200, 200, 100}), batch_sizes());
}

TEST_F(KeyboardBatches, ExactlyOneHundredUnitsIsOneCall) {
    ASSERT_EQ(0, type_text_utf8(te_ascii(100).c_str(), 0));
    EXPECT_EQ((std::vector<size_t>{200}), batch_sizes());
}

TEST_F(KeyboardBatches, OneHundredAndOneUnitsIsTwoCalls) {
    ASSERT_EQ(0, type_text_utf8(te_ascii(101).c_str(), 0));
    EXPECT_EQ((std::vector<size_t>{200, 2}), batch_sizes());
}

TEST_F(KeyboardBatches, SurrogatePairMaySplitAcrossCalls) {
    std::string text = te_ascii(99) + "\xF0\x9F\x98\x80";  // U+1F600 = D83D DE00
    ASSERT_EQ(0, type_text_utf8(text.c_str(), 0));
    ASSERT_EQ((std::vector<size_t>{200, 2}), batch_sizes());
    EXPECT_EQ(0xD83D, te_sent[0][198].ki.wScan);
    EXPECT_EQ(0xD83D, te_sent[0][199].ki.wScan);
    EXPECT_EQ(0xDE00, te_sent[1][0].ki.wScan);
    EXPECT_EQ((DWORD)(KEYEVENTF_UNICODE | KEYEVENTF_KEYUP), te_sent[1][1].ki.dwFlags);
}

TEST_F(KeyboardBatches, RefusedBatchStopsTypingWithMinusTwo) {
    te_refuse_call = 2;
    EXPECT_EQ(-2, type_text_utf8(te_ascii(250).c_str(), 0));
    EXPECT_EQ((std::vector<size_t>{200, 200}), batch_sizes());
}

TEST_F(KeyboardBatches, ShortButNonZeroAnswerKeepsTyping) {
    te_answer_one = true;
    EXPECT_EQ(0, type_text_utf8(te_ascii(250).c_str(), 0));
    EXPECT_EQ(3u, te_sent.size());
}

TEST_F(KeyboardBatches, TextAndDryRunAreDecidedBeforeAnyDesktopCall) {
    EXPECT_EQ(-1, type_text_utf8(nullptr, 0));
    EXPECT_EQ(-1, type_text_utf8("", 0));
    EXPECT_EQ(-1, type_text_utf8(nullptr, 1));
    EXPECT_EQ(-1, type_text_utf8("", 1));
    EXPECT_EQ(-3, type_text_utf8("abc", 1));
    EXPECT_EQ(0, te_foreground_calls);
    EXPECT_TRUE(te_sent.empty());
}

TEST_F(KeyboardBatches, NoWindowInFrontSendsNothing) {
    te_fake_foreground = nullptr;
    EXPECT_EQ(-3, type_text_utf8("abc", 0));
    EXPECT_EQ(1, te_foreground_calls);
    EXPECT_TRUE(te_sent.empty());
}

// The system would drop every keystroke unseen: none is sent.
TEST_F(KeyboardBatches, ElevatedProgramInFrontSendsNothing) {
    te_fake_runs_above = true;
    EXPECT_EQ(-4, type_text_utf8("abc", 0));
    EXPECT_EQ(-4, type_replacing(3, "abc", 0));
    EXPECT_TRUE(te_sent.empty());
}

// Held past the wait, Ctrl is let go of before the text and stays up.
TEST_F(KeyboardBatches, HeldControlIsLetGoOfAndNotPressedAgain) {
    te_forward_to_system = true;
    te_send_key(VK_CONTROL, true);
    ASSERT_EQ(0, type_text_utf8("abc", 0));
    for (int i = 0; i < 200 && key_is_down(VK_CONTROL); i++) Sleep(5);
    bool still_down = key_is_down(VK_CONTROL);
    te_send_key(VK_CONTROL, false);
    EXPECT_FALSE(still_down) << "Ctrl is still down";
    ASSERT_FALSE(te_sent.empty());
    EXPECT_EQ(6u, te_sent.back().size());
}

TEST_F(KeyboardBatches, NothingIsSentWhileTheChordIsHeld) {
    te_send_key(VK_CONTROL, true);
    te_send_key('K', true);
    ULONGLONG released_at = 0;
    std::thread let_go([&] {
        Sleep(200);
        released_at = GetTickCount64();
        te_send_key('K', false);
        te_send_key(VK_CONTROL, false);
    });
    EXPECT_EQ(0, type_text_utf8("abc", 0));
    let_go.join();
    ASSERT_EQ(1u, te_sent.size());
    EXPECT_GE(te_sent_at[0], released_at);
}

// A 150-unit text whose second batch is refused: the first 100 characters
// really reach the EDIT, nothing after them.
TEST_F(KeyboardBatches, RefusedSecondBatchLeavesTheFirstTyped) {
    te_keyboard_swap_calls({te_recording_send, te_keyboard_system_calls().foreground_window, nullptr});
    te_edit_window window;
    ASSERT_TRUE(window.ready());
    te_forward_to_system = true;
    te_refuse_call = 2;
    std::string text;
    for (int i = 0; i < 150; i++) text += (char)('a' + i % 26);
    EXPECT_EQ(-2, type_text_utf8(text.c_str(), 0));
    EXPECT_EQ((std::vector<size_t>{200, 100}), batch_sizes());
    EXPECT_EQ(te_wide(text.substr(0, 100)), window.text_after_typing(100));
}

// The system takes 1 of a batch's 12 records: the 11 it did not take are
// not waited for as the engine's own, so the key watch still reports the
// same Unicode keystrokes when another program sends them.
TEST_F(KeyboardBatches, RecordsNotTakenAreNotCountedAsOwnKeys) {
    ASSERT_EQ(TE_WATCH_KEYS, watch_open(TE_WATCH_KEYS | TE_WATCH_SYNTHETIC_KEYS));
    te_take_one = true;
    EXPECT_EQ(0, type_text_utf8("abcdef", 0));
    std::vector<INPUT> other = te_sent.back();
    SendInput((UINT)other.size(), other.data(), (int)sizeof(INPUT));
    te_pump_for(100);
    std::string seen;
    te_key_event ev;
    while (watch_next_key(&ev)) seen += ev.kind == TE_KEY_TEXT ? ev.text : "|";
    watch_close();
    EXPECT_EQ("abcdef", seen);
}

}  // namespace
