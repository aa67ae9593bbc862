// The key watch and type_replacing together, as keys mode uses them: key
// presses sent into the EDIT control in front reach the hook on a worker
// thread as text, and the trigger they end with is replaced in the EDIT;
// the engine's own keystrokes, its host's typing included, never come back
// as key events.
#include "edit_window.h"
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

    void run() {
        opened = watch_open(TE_WATCH_KEYS);
        while (!stop) {
            if (!(watch_wait(50) & TE_WATCH_KEYS)) continue;
            te_key_event ev;
            while (watch_next_key(&ev)) {
                std::lock_guard<std::mutex> g(lock);
                seen += ev.kind == TE_KEY_TEXT ? ev.text : ev.kind == TE_KEY_BACKSPACE ? "\b" : "|";
                if (seen.size() >= 6 && seen.compare(seen.size() - 6, 6, ">>addr") == 0)
                    type_replacing(6, TE_ADDRESS, 0);
            }
        }
        watch_close();
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

}  // namespace
