// Typing into a GTK 3 text view, which reads its key events more slowly
// than they are typed: a text that needs the spare keycodes rebound in
// rounds must still arrive whole.
// gtest first: Xlib defines None as a macro, which gtest uses as a name.
#include <gtest/gtest.h>

#include "platform.h"
#include "receivers.h"
#include "x11_harness.h"

#include <algorithm>

namespace {

TEST(GtkTyping, TwoThousandCharactersOfTwoHundredKindsArriveWhole) {
    ASSERT_TRUE(te_test::display()) << "no X server at DISPLAY";
    std::vector<KeySym> mapping_before = te_test::keyboard_mapping();
    te_test::text_window view(TE_GTK_VIEW_PATH);
    ASSERT_TRUE(view.ready()) << "the GTK text view did not start";
    te_test::set_focus(view.window());
    const std::string text = te_test::cjk_text(2000, 200);
    EXPECT_EQ(type_text_utf8(text.c_str(), 0), 0);
    std::string got = view.wait_for(text.size(), 30000);
    EXPECT_TRUE(got == text) << got.size() << " of " << text.size() << " bytes arrived; first difference at byte "
                             << std::mismatch(got.begin(), got.end(), text.begin(), text.end()).first - got.begin();
    EXPECT_EQ(te_test::keyboard_mapping(), mapping_before) << "keyboard mapping changed";
}

}  // namespace
