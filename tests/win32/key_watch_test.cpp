// The key watch and type_replacing together, as keys mode uses them: key
// presses sent into the EDIT control in front reach the hook as text, and
// the trigger they end with is replaced in the EDIT; the engine's own
// keystrokes, its host's typing included, never come back as key events.
// SendInput is another program's typing here, watched with
// TE_WATCH_SYNTHETIC_KEYS.
#include "clipboard_util.h"
#include "edit_window.h"
#include "key_hook.h"
#include "keyboard_seam.h"
#include "platform.h"

#include <gtest/gtest.h>
#include <atomic>
#include <cstring>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

const char* const TE_ADDRESS = "123 Example Street\nAuckland 1010\nNew Zealand";

// A stand-in for the worker: gathers key events, and replaces ">>addr"
// with the address once the gathered text ends with it.
struct te_watcher {
    std::atomic<bool> stop{false};
    std::atomic<int> opened{-1};
    std::mutex lock;
    std::string seen;  // text, '\b' for BackSpace, '|' for a reset
    std::thread thread;

    int what = TE_WATCH_KEYS | TE_WATCH_SYNTHETIC_KEYS;
    DWORD busy_ms = 0;  // the watching thread is busy that long after opening

    void run() {
        opened = watch_open(what);
        Sleep(busy_ms);
        do {
            watch_wait(50);
            take();
        } while (!stop);
        watch_close();
    }
    void take() {
        te_key_event ev;
        while (watch_next_key(&ev)) {
            std::lock_guard<std::mutex> g(lock);
            seen += ev.kind == TE_KEY_TEXT ? ev.text : ev.kind == TE_KEY_BACKSPACE ? "\b" : "|";
            if (seen.size() >= 6 && seen.compare(seen.size() - 6, 6, ">>addr") == 0) type_replacing(6, TE_ADDRESS, 0);
        }
    }
    std::string gathered() {
        std::lock_guard<std::mutex> g(lock);
        return seen;
    }
};

TEST(KeyWatch, TypedTriggerIsReplacedInTheEdit) {
    te_edit_window window;
    ASSERT_TRUE(window.ready()) << "the test window did not come to the front";
    te_watcher watcher;
    watcher.thread = std::thread([&] { watcher.run(); });
    while (watcher.opened < 0) te_pump_for(5);
    ASSERT_EQ(watcher.opened, TE_WATCH_KEYS);

    for (wchar_t c : std::wstring(L"Dear team, >>addr")) {
        te_press_char(c);
        te_pump_for(10);
    }
    std::wstring want = L"Dear team, 123 Example Street\r\nAuckland 1010\r\nNew Zealand";
    std::wstring got = window.text_after_typing(want.size());
    // The host's own typing (te_expand on its thread) is the engine's too.
    EXPECT_EQ(type_text_utf8(" >>addr", 0), 0);
    want += L" >>addr";
    got = window.text_after_typing(want.size());
    watcher.stop = true;
    watcher.thread.join();
    EXPECT_EQ(te_utf8(want), te_utf8(got));
    EXPECT_EQ(watcher.gathered(), "Dear team, >>addr") << "the replacement came back as key events";
}

// Injected input is another program's: left out unless asked for. And
// the watching thread (the worker) may be busy for seconds, waiting for
// the store's lock say: the hook still answers at once, so the desktop's
// typing is not held up, and the keys are gathered in order meanwhile.
TEST(KeyWatch, WhoseKeysCountAndThatTheyPassAtOnce) {
    const struct {
        int what;
        DWORD busy_ms;
        const char* gathered;
    } cases[] = {{TE_WATCH_KEYS, 0, ""}, {TE_WATCH_KEYS | TE_WATCH_SYNTHETIC_KEYS, 3000, "abc"}};
    for (const auto& c : cases) {
        te_edit_window window;
        ASSERT_TRUE(window.ready()) << "the test window did not come to the front";
        te_watcher watcher;
        watcher.what = c.what;
        watcher.busy_ms = c.busy_ms;
        watcher.thread = std::thread([&] { watcher.run(); });
        while (watcher.opened < 0) te_pump_for(5);
        ULONGLONG start = GetTickCount64();
        for (wchar_t ch : std::wstring(L"abc")) te_press_char(ch);
        EXPECT_EQ(te_utf8(window.text_after_typing(3)), "abc");
        EXPECT_LT(GetTickCount64() - start, 2000u) << "the typing waited for the busy thread";
        watcher.stop = true;
        watcher.thread.join();
        EXPECT_EQ(watcher.gathered(), c.gathered) << c.what;
    }
}

// Keys pressed during a hold reach the window after what the engine types
// meanwhile, and the watch as the user's typing then.
TEST(KeyWatch, KeysPressedDuringAHoldFollowTheTyping) {
    te_edit_window window;
    ASSERT_TRUE(window.ready()) << "the test window did not come to the front";
    ASSERT_EQ(watch_open(TE_WATCH_KEYS | TE_WATCH_SYNTHETIC_KEYS), TE_WATCH_KEYS);
    for (wchar_t c : std::wstring(L"x btw")) te_press_char(c);
    window.text_after_typing(5);
    ASSERT_EQ(keys_hold_begin(), TE_HOLD_ON);
    for (wchar_t c : std::wstring(L" ok")) te_press_char(c);
    te_pump_for(200);
    EXPECT_EQ(te_utf8(window.text()), "x btw") << "a held key reached the window";
    EXPECT_EQ(type_replacing(3, "by the way", 0), 0);
    keys_hold_end();
    EXPECT_EQ(te_utf8(window.text_after_typing(15)), "x by the way ok");
    std::string seen;
    te_key_event ev;
    while (watch_next_key(&ev)) seen += ev.kind == TE_KEY_TEXT ? ev.text : "|";
    watch_close();
    EXPECT_EQ(seen, "x btw ok");
}

// A key pressed or let go of as a keyboard sends it.
struct te_step {
    WORD vk, scan;
    bool extended, up;
};
const te_step TE_LSHIFT = {VK_LSHIFT, 0x2A, false, false}, TE_LCTRL = {VK_LCONTROL, 0x1D, false, false},
              TE_RCTRL = {VK_RCONTROL, 0x1D, true, false}, TE_1 = {'1', 0x02, false, false},
              TE_V = {'V', 0x2F, false, false};
te_step te_up(te_step s) { return {s.vk, s.scan, s.extended, true}; }

void te_send_steps(const std::vector<te_step>& steps) {
    for (const te_step& s : steps) {
        INPUT in = {};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = s.vk;
        in.ki.wScan = s.scan;
        in.ki.dwFlags = (s.extended ? KEYEVENTF_EXTENDEDKEY : 0) | (s.up ? KEYEVENTF_KEYUP : 0);
        SendInput(1, &in, (int)sizeof in);
    }
    te_pump_for(100);
}

std::vector<WORD> te_modifiers_down(void) {
    std::vector<WORD> down;
    for (WORD vk : {VK_LSHIFT, VK_RSHIFT, VK_LCONTROL, VK_RCONTROL, VK_LMENU, VK_RMENU})
        if (GetAsyncKeyState(vk) & 0x8000) down.push_back(vk);
    return down;
}

// SendInput, but before held keys are sent again te_before_replay may
// press keys, and answers how many records the system takes.
std::function<UINT(UINT)> te_before_replay;
UINT WINAPI te_replay_send(UINT count, LPINPUT inputs, int size) {
    bool replay = count && inputs[0].ki.dwExtraInfo == TE_REPLAY_MARK && te_before_replay;
    UINT take = replay ? te_before_replay(count) : count;
    return take == count ? SendInput(count, inputs, size) : take;
}

// Keys held while "b" is replaced with "x" reach the window as the user
// typed them: with each modifier down exactly while the user held it, and
// before any key pressed while they are sent again; keys the system
// refuses once are sent again. Afterwards the system counts as down the
// modifiers the user holds, on the side the user holds them.
TEST(KeyWatch, HeldKeysReachTheWindowAsTheUserTypedThem) {
    ASSERT_TRUE(te_clipboard_put_text(L"PASTE"));
    std::atomic<int> sends{0};
    auto type_on = [&](UINT n) {
        if (++sends <= 9) te_press_char((wchar_t)('a' + sends));
        return n;
    };
    const struct {
        const char* name;
        std::vector<te_step> before, during;
        std::function<UINT(UINT)> before_replay;
        const char* want;
        std::vector<WORD> down_after;
    } cases[] = {
        {"Shift let go inside", {TE_LSHIFT}, {TE_1, te_up(TE_1), te_up(TE_LSHIFT)}, nullptr, "x!", {}},
        {"Ctrl+V", {TE_LCTRL}, {TE_V, te_up(TE_V), te_up(TE_LCTRL)}, nullptr, "xPASTE", {}},
        {"right Ctrl held through", {TE_RCTRL}, {}, nullptr, "x", {VK_RCONTROL}},
        {"typing on while sent", {}, {TE_1, te_up(TE_1)}, type_on, "x1bcdefghij", {}},
        {"refused once", {}, {TE_1, te_up(TE_1)}, [&](UINT n) { return ++sends == 1 ? 0 : n; }, "x1", {}},
    };
    te_edit_window window;
    ASSERT_TRUE(window.ready()) << "the test window did not come to the front";
    te_keyboard_calls saved =
        te_keyboard_swap_calls({te_replay_send, te_keyboard_system_calls().foreground_window, nullptr});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        window.clear();
        ASSERT_EQ(watch_open(TE_WATCH_KEYS | TE_WATCH_SYNTHETIC_KEYS), TE_WATCH_KEYS);
        te_press_char('b');
        window.text_after_typing(1);
        te_send_steps(c.before);
        ASSERT_EQ(keys_hold_begin(), TE_HOLD_ON);
        te_send_steps(c.during);
        EXPECT_EQ(type_replacing(1, "x", 0), 0);
        sends = 0;
        te_before_replay = c.before_replay;
        keys_hold_end();
        EXPECT_EQ(c.want, te_utf8(window.text_after_typing(std::strlen(c.want))));
        EXPECT_EQ(c.down_after, te_modifiers_down());
        te_before_replay = nullptr;
        watch_close();
        te_send_steps({te_up(TE_LSHIFT), te_up(TE_LCTRL), te_up(TE_RCTRL)});
    }
    te_keyboard_swap_calls(saved);
}

HHOOK WINAPI te_refusing_install(int, HOOKPROC, HINSTANCE, DWORD) { return nullptr; }

// A refused hook leaves no key watch behind: the next open, with or
// without a close in between, installs it.
TEST(KeyWatch, ARefusedHookIsTriedAgainAtTheNextOpen) {
    for (bool close_between : {true, false}) {
        te_set_hook_fn saved = te_key_hook_swap_install(te_refusing_install);
        EXPECT_EQ(watch_open(TE_WATCH_KEYS), 0);
        te_key_hook_swap_install(saved);
        if (close_between) watch_close();
        EXPECT_EQ(watch_open(TE_WATCH_KEYS), TE_WATCH_KEYS) << "close between: " << close_between;
        watch_close();
    }
}

}  // namespace
