// The whole road of one expansion on the X11 desktop, through the shared
// library's exports: the worker notices the copied trigger (or the hotkey),
// and the address arrives in the project's text window.
// gtest first: Xlib defines None as a macro, which gtest uses as a name.
#include <gtest/gtest.h>

#include "textexpander.h"
#include "x11_harness.h"

#include <cstdlib>
#include <memory>
#include <unistd.h>

namespace {

const char* const TE_ADDRESS = "123 Example Street\nAuckland 1010\nNew Zealand";

class Desktop : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(te_test::display()) << "no X server at DISPLAY";
        // A fresh store: the seed snippets, >>addr among them.
        std::string dir = te_test::temp_file("");
        setenv("APPDATA", dir.substr(0, dir.rfind('/')).c_str(), 1);
        ASSERT_TRUE(win.ready()) << "the text window did not start";
        te_test::clear_clipboard();
    }
    void TearDown() override {
        te_stop();
        te_test::run({"xdotool", "keyup", "ctrl+shift+e"});
    }

    void copy(const std::string& text) {
        std::string path = te_test::temp_file(text);
        Window previous = te_test::clipboard_owner();
        xclip = std::make_unique<te_test::child>(
            std::vector<std::string>{"xclip", "-quiet", "-selection", "clipboard", "-i", path});
        ASSERT_TRUE(te_test::wait_clipboard_owner(previous));
    }

    te_test::text_window win;
    std::unique_ptr<te_test::child> xclip;
};

TEST_F(Desktop, CopiedTriggerTypesTheAddress) {
    ASSERT_EQ(te_start("{\"mode\":\"clipboard\"}"), 1);
    usleep(300000);
    copy("Dear team, >>addr");
    EXPECT_EQ(win.wait_for(std::string(TE_ADDRESS).size(), 5000), TE_ADDRESS);
}

// Ten seconds between polls: only the clipboard's change notification can
// bring the expansion within a second.
TEST_F(Desktop, CopyIsExpandedAtOnceWhateverThePollInterval) {
    ASSERT_EQ(te_start("{\"mode\":\"clipboard\",\"poll_ms\":10000}"), 1);
    usleep(300000);
    long long copied = te_test::millis();
    copy("Dear team, >>addr");
    while (win.received().empty() && te_test::millis() - copied < 1000) usleep(1000);
    EXPECT_LT(te_test::millis() - copied, 1000);
    EXPECT_EQ(win.wait_for(std::string(TE_ADDRESS).size(), 5000), TE_ADDRESS);
}

// The same for the hotkey: the worker looks at the keys when one goes down
// or up, not every poll interval.
TEST_F(Desktop, HotkeyIsSeenAtOnceWhateverThePollInterval) {
    copy("Dear team, >>addr");
    ASSERT_EQ(te_start("{\"mode\":\"hotkey\",\"hotkey\":\"ctrl+shift+e\",\"poll_ms\":10000}"), 1);
    usleep(300000);
    long long pressed = te_test::millis();
    ASSERT_EQ(te_test::run({"xdotool", "keydown", "ctrl+shift+e"}), 0);
    usleep(100000);
    te_test::run({"xdotool", "keyup", "ctrl+shift+e"});
    while (win.received().empty() && te_test::millis() - pressed < 1500) usleep(1000);
    EXPECT_LT(te_test::millis() - pressed, 1500);
    EXPECT_EQ(win.wait_for(std::string(TE_ADDRESS).size(), 5000), TE_ADDRESS);
}

TEST_F(Desktop, RuleThatBlocksTheWindowsProgramStopsTheExpansion) {
    ASSERT_EQ(te_rule_set("te-window", "{\"allow\":false}"), 1);
    ASSERT_EQ(te_start("{\"mode\":\"clipboard\"}"), 1);
    usleep(300000);
    copy("Dear team, >>addr");
    usleep(1000000);
    EXPECT_EQ(win.received(), "");
}

// The pass runs on the press; its typing waits until the chord is let go.
TEST_F(Desktop, HotkeyTypesOnceTheChordIsLetGo) {
    copy("Dear team, >>addr");
    ASSERT_EQ(te_start("{\"mode\":\"hotkey\",\"hotkey\":\"ctrl+shift+e\"}"), 1);
    usleep(300000);
    ASSERT_EQ(te_test::run({"xdotool", "keydown", "ctrl+shift+e"}), 0);
    usleep(300000);
    EXPECT_EQ(win.received(), "");
    te_test::run({"xdotool", "keyup", "ctrl+shift+e"});
    EXPECT_EQ(win.wait_for(std::string(TE_ADDRESS).size(), 5000), TE_ADDRESS);
}

}  // namespace
