// Typing into the programs people type into most: a Qt 6 text view,
// Chromium and Firefox ESR. Each rebinds the spare keycodes many times for
// 2,000 CJK characters of 200 kinds; Qt and Chromium take that text ten
// times in a row, since they lost characters only in some runs.
// gtest first: Xlib defines None as a macro, which gtest uses as a name.
#include <gtest/gtest.h>

#include "platform.h"
#include "receivers.h"
#include "x11_harness.h"

namespace {

struct te_program {
    const char* name;
    int cjk_runs;
};

class AppTyping : public ::testing::TestWithParam<te_program> {};

// Types the text and checks that exactly it arrived.
void te_type_whole(te_test::receiver& into, const std::string& text, const std::string& what) {
    ASSERT_TRUE(into.begin()) << what << ": the program did not take keys";
    EXPECT_EQ(type_text_utf8(text.c_str(), 0), 0) << what;
    std::string seen;
    EXPECT_TRUE(into.arrived(text, 60000, &seen)) << what << ": " << seen;
}

TEST_P(AppTyping, CjkTextsOfTwoHundredKindsAndMixedScriptsArriveWhole) {
    ASSERT_TRUE(te_test::display()) << "no X server at DISPLAY";
    std::vector<KeySym> mapping_before = te_test::keyboard_mapping();
    std::unique_ptr<te_test::receiver> into = te_test::start_receiver(GetParam().name);
    ASSERT_TRUE(into->ready()) << GetParam().name << " did not start";
    for (int run = 0; run < GetParam().cjk_runs; run++)
        te_type_whole(*into, te_test::cjk_text(2000, 200, 11 + run), "CJK run " + std::to_string(run + 1));
    te_type_whole(*into, te_test::mixed_text(2000, 5), "mixed scripts");
    EXPECT_EQ(te_test::keyboard_mapping(), mapping_before) << "keyboard mapping changed";
}

INSTANTIATE_TEST_SUITE_P(Programs, AppTyping,
                         ::testing::Values(te_program{"qt", 10}, te_program{"chromium", 10},
                                           te_program{"firefox", 1}),
                         [](const ::testing::TestParamInfo<te_program>& info) { return std::string(info.param.name); });

}  // namespace
