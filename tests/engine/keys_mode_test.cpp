// Keys mode on the fake desktop: which typed key sequences expand, and the
// start that needs a key watch.
#include <chrono>
#include <string>
#include <thread>

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
    const char* keys;  // '\b' BackSpace, '\n' a reset
    std::string typed;
    int erased;
};

// The seed snippets (">>signoff", 9 bytes, is the longest trigger) and
// ">>café".
TEST_F(KeysMode, WhatTheTypedKeysExpand) {
    ASSERT_EQ(te_snippet_add(te_test::snippet(">>caf\xC3\xA9", "coffee").c_str()), 1);
    const te_keys_case cases[] = {
        {"Dear team, >>addr", TE_ADDRESS, 6},
        {"x>>addr", "", 0},
        {"x>>signoff", "", 0},  // the x fell off the front of a full buffer
        {">>adx\bdr", TE_ADDRESS, 6},
        {">>ad\ndr", "", 0},
        {">>caf\xC3\xBC\b\xC3\xA9", "coffee", 6},  // BackSpace takes the whole ü
        {">>email>>addr", "you@example.com", 7},  // right after the expansion's last letter
    };
    for (const te_keys_case& c : cases) {
        fake::reset();
        fake::set_foreground("editor.exe");
        te_typed_buffer typed;
        te_typed_reset(&typed);
        fake::press(c.keys);
        te_key_event ev;
        while (watch_next_key(&ev)) te_keys_take(&typed, ev);
        EXPECT_EQ(fake::typed_text(), c.typed) << c.keys;
        EXPECT_EQ(fake::erased(), c.erased) << c.keys;
    }
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

}  // namespace
