// Keys mode on the fake desktop: which typed key sequences expand, and the
// start that needs a key watch.
#include <algorithm>
#include <cstdlib>
#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "engine.h"
#include "fake_desktop.h"
#include "keys_mode.h"
#include "test_support.h"
#include "textexpander.h"

namespace {

const std::string TE_ADDRESS = "123 Example Street\nAuckland 1010\nNew Zealand";

class KeysMode : public testing::Test {
protected:
    void SetUp() override {
        fake::reset();
        fake::set_foreground("editor.exe");
    }
    void TearDown() override { te_stop(); }
};

struct te_keys_case {
    const char* keys;  // '\b' BackSpace, '\n' a reset; from '|' on, the rest in one burst
    std::string typed;
    int erased;
    std::string window;
};

// Keys before the '|' arrive one at a time, each taken before the next is
// pressed; the rest arrive together, before the worker takes the first of
// them, as from a typist faster than the engine.
void te_press_and_take(const std::string& keys) {
    te_keys_state state;
    te_keys_reset(&state);
    std::size_t burst = std::min(keys.find('|'), keys.size());
    te_key_event ev;
    for (std::size_t i = 0, n; i < burst; i += n) {
        for (n = 1; i + n < burst && (keys[i + n] & 0xC0) == 0x80;) n++;
        fake::press(keys.substr(i, n));
        while (watch_next_key(&ev)) te_keys_take(&state, ev);
    }
    if (burst < keys.size()) fake::press(keys.substr(burst + 1));
    while (watch_next_key(&ev)) te_keys_take(&state, ev);
}

// The seed snippets (">>signoff", 9 bytes, is the longest trigger),
// ">>café" and "btw".
TEST_F(KeysMode, WhatTheTypedKeysExpand) {
    ASSERT_EQ(te_snippet_add(te_test::snippet(">>caf\xC3\xA9", "coffee").c_str()), 1);
    ASSERT_EQ(te_snippet_add(te_test::snippet("btw", "by the way").c_str()), 1);
    const te_keys_case cases[] = {
        {"Dear team, >>addr", TE_ADDRESS, 6, "Dear team, " + TE_ADDRESS},
        {"x>>addr", "", 0, "x>>addr"},
        {"x>>signoff", "", 0, "x>>signoff"},  // the x fell off the front of a full buffer
        {">>adx\bdr", TE_ADDRESS, 6, TE_ADDRESS},
        {">>ad\ndr", "", 0, ">>addr"},
        {">>caf\xC3\xBC\b\xC3\xA9", "coffee", 6, "coffee"},  // BackSpace takes the whole ü
        {">>email>>addr", "you@example.com", 7, "you@example.com>>addr"},  // right after the expansion's last letter
        // Keys that reached the window before the engine could hold them:
        {"x bt|w ok", "by the way ok", 6, "x by the way ok"},
        {"x bt|w ok\bk", "by the way ok", 6, "x by the way ok"},
        {"x bt|w >>email", "by the way >>emailyou@example.com", 18, "x by the way you@example.com"},
        {"x bt|w\nok", "", 0, "x btwok"},   // Enter: the trigger is no longer before the caret
        {"x bt|w\bok", "", 0, "x btok"},    // BackSpace into the trigger
    };
    for (const te_keys_case& c : cases) {
        fake::reset();
        fake::set_foreground("editor.exe");
        te_press_and_take(c.keys);
        EXPECT_EQ(fake::typed_text(), c.typed) << c.keys;
        EXPECT_EQ(fake::erased(), c.erased) << c.keys;
        EXPECT_EQ(fake::window_text(), c.window) << c.keys;
    }
}

// The caret, the case of the trigger, word triggers and taking an
// expansion back. "dear" and "Btw" follow the case the trigger is typed
// in, "btw" and "\xCE\xB1\xCE\xB2" wait for a word separator.
TEST_F(KeysMode, CaretCaseWordTriggersAndUndo) {
    const std::string settings = ",\"settings\":{\"propagate_case\":true";
    for (const std::string& s :
         {"{\"trigger\":\"dear\",\"text\":\"dear {cursor},\\nbye\"" + settings + "}}",
          "{\"trigger\":\"btw\",\"text\":\"by the way\"" + settings + ",\"word_triggers\":true}}",
          std::string("{\"trigger\":\"\xCE\xB1\xCE\xB2\",\"text\":\"\xCE\xAC\xCE\xBB\xCF\x86\xCE\xB1\"") + settings +
              ",\"word_triggers\":true}}",
          te_test::snippet("ty", "thank you")})
        ASSERT_EQ(te_snippet_add(s.c_str()), 1) << te_last_error();
    const struct {
        const char* keys;  // '\r' Enter, '\t' Tab; from '|' on, one burst
        const char* window;  // '|' the caret
    } cases[] = {
        {"x dear", "x dear |,\nbye"},
        {"x Dear", "x Dear |,\nbye"},
        {"x DEAR", "x DEAR |,\nBYE"},
        {"x DEA|R Jo", "x DEAR  Jo|,\nBYE"},     // typed on before the hold: at the caret
        {"btw ", "by the way |"},
        {"BTW.", "BY THE WAY.|"},
        {"Btw\r", "By the way\n|"},
        {"btw\tok", "by the way\tok|"},
        {"btwixt ", "btwixt |"},
        {"btw", "btw|"},
        {"\xCE\x91\xCE\x92 ", "\xCE\x86\xCE\x9B\xCE\xA6\xCE\x91 |"},  // Greek in capitals
        {"x dear\b", "x dear|"},                 // BackSpace right after: taken back
        {"BTW \b", "BTW |"},
        {"ty\bx", "tyx|"},                       // the trigger comes back but does not expand
        {"ty\b\b", "t|"},
        {"tyx\b", "thank you|"},                 // another key first: an ordinary BackSpace
        {"ty\n\b", "thank yo|"},                 // a click first
        {"x dea|r\b", "x dea|"},                 // a BackSpace before the hold: called off
    };
    for (const auto& c : cases) {
        fake::reset();
        fake::set_foreground("editor.exe");
        te_press_and_take(c.keys);
        EXPECT_EQ(fake::window_with_caret(), c.window) << c.keys;
    }
    ASSERT_EQ(te_start("{\"undo_backspace\":false}"), 1);
    te_stop();
    fake::reset();
    fake::set_foreground("editor.exe");
    te_press_and_take("ty\b");
    EXPECT_EQ(fake::window_with_caret(), "thank yo|");
}

// A password prompt holds the keyboard: nothing typed, nothing counted.
TEST_F(KeysMode, KeyboardHeldByAnotherProgramIsNotTypedInto) {
    ASSERT_EQ(te_snippet_add(te_test::snippet("btw", "by the way").c_str()), 1);
    fake::set_hold_result(TE_HOLD_REFUSED);
    te_press_and_take("pw.btw9");
    EXPECT_EQ(fake::window_text(), "pw.btw9");
    EXPECT_EQ(fake::type_calls(), 0);
    EXPECT_NE(std::string(te_stats_json()).find("\"expanded\":0,"), std::string::npos) << te_stats_json();
}

long long te_expanded_count() {
    std::string stats = te_stats_json();
    return std::atoll(stats.c_str() + stats.find("\"expanded\":") + 11);
}

// A host that skips its own windows: a trigger typed or copied in one of
// them stays as it is and is not counted, a rule allowing the program
// notwithstanding; in another program it expands. A host that does not
// ask is served in its own windows as before.
TEST_F(KeysMode, HostsOwnWindowsAreSkippedWhenTheHostAsks) {
    ASSERT_EQ(te_rule_set("editor", "{\"allow\":true}"), 1);
    const struct {
        const char* config;
        bool own;
        bool expands;
    } cases[] = {
        {"{\"worker\":false,\"skip_own_windows\":true}", true, false},
        {"{\"worker\":false,\"skip_own_windows\":true}", false, true},
        {"{\"worker\":false,\"skip_own_windows\":false}", true, true},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(te_start(c.config), 1);
        fake::reset();
        fake::set_foreground("editor.exe");
        fake::set_foreground_own(c.own);
        fake::set_clipboard_text("x >>email");
        long long before = te_expanded_count();
        te_press_and_take("x >>addr");
        EXPECT_EQ(fake::window_text(), c.expands ? "x " + TE_ADDRESS : "x >>addr") << c.config << c.own;
        EXPECT_EQ(te_watch_pass(), c.expands ? 1 : 0) << c.config << c.own;
        EXPECT_EQ(te_expanded_count() - before, c.expands ? 2 : 0) << c.config << c.own;
    }
    EXPECT_EQ(te_start("{\"skip_own_windows\":1}"), 0);
    EXPECT_STREQ(te_last_error(), "skip_own_windows must be true or false");
}

TEST_F(KeysMode, WorkerExpandsAsTheKeysArrive) {
    ASSERT_EQ(te_start("{\"mode\":\"keys\"}"), 1);
    fake::press("Dear team, >>addr");
    for (int i = 0; i < 200 && fake::typed_text() != TE_ADDRESS; i++)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(fake::typed_text(), TE_ADDRESS);
    EXPECT_EQ(fake::erased(), 6);
    EXPECT_NE(std::string(te_stats_json()).find("\"last_trigger\":\">>addr\""), std::string::npos);
}

TEST_F(KeysMode, StartWithoutAKeyWatchFailsAndAppliesNothing) {
    fake::set_key_watch(false);
    EXPECT_EQ(te_start("{\"mode\":\"keys\",\"dry_run\":true}"), 0);
    EXPECT_STREQ(te_last_error(), "keys mode: this desktop cannot watch the keyboard");
    EXPECT_EQ(te_status(), 0);
    te_engine_guard g(te_engine_lock);
    EXPECT_EQ(E.mode, TE_MODE_CLIPBOARD);
    EXPECT_EQ(E.dry_run, 0);
}

// Other programs' typing is watched only when the host asks for it, with
// a JSON boolean.
TEST_F(KeysMode, SyntheticKeysAreWatchedOnlyWhenAsked) {
    const struct {
        const char* config;
        int asked;
    } cases[] = {
        {"{\"mode\":\"keys\"}", TE_WATCH_KEYS},
        {"{\"mode\":\"keys\",\"synthetic_keys\":true}", TE_WATCH_KEYS | TE_WATCH_SYNTHETIC_KEYS},
        {"{\"mode\":\"keys\",\"synthetic_keys\":\"true\"}", TE_WATCH_KEYS},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(te_start(c.config), 1) << c.config;
        EXPECT_EQ(fake::watch_asked(), c.asked) << c.config;
        te_stop();
        ASSERT_EQ(te_start("{\"synthetic_keys\":false}"), 1);
        te_stop();
    }
}

// A host edit waiting for the store lock another process keeps must not
// hold up the worker: the trigger typed meanwhile expands at once.
TEST_F(KeysMode, EditWaitingForTheStoreLockLeavesTheWorkerRunning) {
    ASSERT_EQ(te_snippet_add(te_test::snippet("btw", "by the way").c_str()), 1);  // the store's folder
    ASSERT_EQ(te_start("{\"mode\":\"keys\"}"), 1);
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    pid_t holder = fork();
    if (holder == 0) {  // holds the lock until it is killed
        if (flock(open((te_test::store_path() + ".lock").c_str(), O_RDWR | O_CREAT, 0600), LOCK_EX) == 0 &&
            write(ready[1], "x", 1))
            pause();
        _exit(1);
    }
    close(ready[1]);
    char c;
    ASSERT_EQ(read(ready[0], &c, 1), 1);
    std::atomic<bool> edit_done{false};
    std::thread edit([&edit_done] {
        te_snippet_add(te_test::snippet("later").c_str());
        edit_done = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    fake::press("Dear team, >>addr");
    for (int i = 0; i < 500 && fake::typed_text() != TE_ADDRESS; i++)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(fake::typed_text(), TE_ADDRESS);
    EXPECT_FALSE(edit_done) << "the expansion waited for the edit";
    kill(holder, SIGKILL);
    waitpid(holder, nullptr, 0);
    edit.join();
}

}  // namespace
