// Keys mode on the X11 desktop, through the shared library: xdotool types
// into the project's text window as a person would, and the worker expands
// a trigger the moment its last character arrives.
// gtest first: Xlib defines None as a macro, which gtest uses as a name.
#include <gtest/gtest.h>

#include "textexpander.h"
#include "x11_harness.h"

#include <cstdlib>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

const std::string TE_ADDRESS = "123 Example Street\nAuckland 1010\nNew Zealand";

typedef std::vector<std::vector<std::string>> te_steps;  // xdotool arguments, one run each

class TypedTriggers : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(te_test::display()) << "no X server at DISPLAY";
        std::string dir = te_test::temp_file("");
        setenv("APPDATA", dir.substr(0, dir.rfind('/')).c_str(), 1);
    }
    void TearDown() override {
        te_stop();
        if (layout_changed) te_test::run({"setxkbmap", "us"});
    }

    void use_layout(const std::vector<std::string>& args) {
        std::vector<std::string> argv = {"setxkbmap"};
        argv.insert(argv.end(), args.begin(), args.end());
        layout_changed = true;
        ASSERT_EQ(te_test::run(argv), 0);
    }

    // Opens the window, starts keys mode, runs the steps and returns the
    // window's text once it has at least `bytes` bytes and has settled.
    std::string typed(const te_steps& steps, size_t bytes) {
        win = std::make_unique<te_test::text_window>();
        if (!win->ready() || te_start("{\"mode\":\"keys\"}") != 1) return "(no window or no keys mode)";
        for (const std::vector<std::string>& step : steps) {
            std::vector<std::string> argv = {"xdotool"};
            argv.insert(argv.end(), step.begin(), step.end());
            if (te_test::run(argv) != 0) return "(xdotool failed)";
        }
        win->wait_for(bytes, 5000);
        usleep(500000);  // room for an expansion that should not come
        return win->received();
    }

    std::unique_ptr<te_test::text_window> win;
    bool layout_changed = false;
};

struct te_typing_case {
    const char* name;
    te_steps steps;
    std::string want;
};

void PrintTo(const te_typing_case& c, std::ostream* os) { *os << c.name; }

class TypingCases : public TypedTriggers, public ::testing::WithParamInterface<te_typing_case> {};

TEST_P(TypingCases, WindowEndsWithTheExpectedText) {
    const te_typing_case& c = GetParam();
    EXPECT_EQ(typed(c.steps, c.want.size()), c.want);
}

const te_typing_case te_typing_cases[] = {
    {"TriggerAfterText", {{"type", "--delay", "15", "Dear team, >>addr"}}, "Dear team, " + TE_ADDRESS},
    {"TriggerInsideAWord", {{"type", "--delay", "15", "x>>addr"}}, "x>>addr"},
    {"TypoMendedWithBackSpace",
     {{"type", "--delay", "15", ">>adx"}, {"key", "BackSpace"}, {"type", "--delay", "15", "dr"}},
     TE_ADDRESS},
    {"ClickInTheMiddle", {{"type", "--delay", "15", ">>ad"}, {"click", "1"}, {"type", "--delay", "15", "dr"}},
     ">>addr"},
};

INSTANTIATE_TEST_SUITE_P(Keys, TypingCases, ::testing::ValuesIn(te_typing_cases),
                         [](const ::testing::TestParamInfo<te_typing_case>& i) { return i.param.name; });

TEST_F(TypedTriggers, RuleThatBlocksTheWindowsProgramPreventsIt) {
    ASSERT_EQ(te_rule_set("te-window", "{\"allow\":false}"), 1);
    EXPECT_EQ(typed({{"type", "--delay", "15", " >>addr"}}, 7), " >>addr");
}

TEST_F(TypedTriggers, SnippetHoldingItsOwnTriggerExpandsOnce) {
    ASSERT_EQ(te_snippet_add("{\"trigger\":\">>me\",\"text\":\"call >>me\"}"), 1);
    EXPECT_EQ(typed({{"type", "--delay", "15", " >>me"}}, 10), " call >>me");
    EXPECT_NE(std::string(te_stats_json()).find("\"expanded\":1,"), std::string::npos) << te_stats_json();
}

// ß is a key of its own on a German keyboard, @ is AltGr+Q.
TEST_F(TypedTriggers, GermanLayoutWithAltGr) {
    use_layout({"de"});
    ASSERT_EQ(te_snippet_add("{\"trigger\":\"gr\xC3\xBC\xC3\x9F@\",\"text\":\"Gr\xC3\xBC\xC3\x9F" "e\"}"), 1);
    std::string want = "Hi Gr\xC3\xBC\xC3\x9F" "e";
    std::string got = typed({{"type", "--delay", "15", "Hi gr\xC3\xBC\xC3\x9F"},
                             {"keydown", "ISO_Level3_Shift"}, {"key", "q"}, {"keyup", "ISO_Level3_Shift"}},
                            want.size());
    EXPECT_EQ(got, want);
}

// On the US international layout the apostrophe key is a dead acute.
TEST_F(TypedTriggers, DeadKeyComposesIntoTheTrigger) {
    use_layout({"us", "intl"});
    ASSERT_EQ(te_snippet_add("{\"trigger\":\";caf\xC3\xA9\",\"text\":\"coffee\"}"), 1);
    std::string got = typed({{"type", "--delay", "15", "A ;caf"}, {"key", "dead_acute", "e"}}, 8);
    EXPECT_EQ(got, "A coffee");
}

}  // namespace
