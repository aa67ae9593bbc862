// The key watch and type_replacing together, as keys mode uses them: key
// presses sent into the EDIT control in front reach the hook as text, and
// the trigger they end with is replaced in the EDIT; the engine's own
// keystrokes, its host's typing included, never come back as key events.
// SendInput is another program's typing here, watched with
// TE_WATCH_SYNTHETIC_KEYS.
#include "edit_window.h"
#include "key_hook.h"
#include "platform.h"

#include <gtest/gtest.h>
#include <atomic>
#include <mutex>
#include <string>
#include <thread>

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
