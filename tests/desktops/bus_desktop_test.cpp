// The GNOME and KDE Plasma desktops on their headless compositors
// (scripts/test-desktops.sh starts mutter or kwin_wayland and names the
// desktop in TE_TEST_DESKTOP): the desktop is chosen from what the session
// offers, text arrives whole in a native GTK 3 window and the user's
// clipboard is the same afterwards, also after a one-shot `te expand` has
// ended; clipboard mode expands a copy, and neither the engine's paste nor
// its restore counts as one; on KDE a rule naming the window's class blocks
// it. The engine runs in this process, as the session's user.
#include <gtest/gtest.h>

#include "bus_harness.h"
#include "platform.h"
#include "textexpander.h"

#include <cstdlib>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using te_bus_test::desktop;
using te_bus_test::gtk_window;
using te_bus_test::read_file;
using te_bus_test::wait_file_holds;
using te_wl_test::child;

// Where two texts part, for a failure message that does not print
// thousands of characters.
::testing::AssertionResult same_text(const std::string& got, const std::string& want) {
    if (got == want) return ::testing::AssertionSuccess();
    std::size_t i = 0;
    while (i < got.size() && i < want.size() && got[i] == want[i]) i++;
    std::size_t from = i > 20 ? i - 20 : 0;
    return ::testing::AssertionFailure() << "got " << got.size() << " bytes, want " << want.size()
                                         << "; they part at byte " << i << ": got \"" << got.substr(from, 60)
                                         << "\", want \"" << want.substr(from, 60) << "\"";
}

// The user's clipboard, set and read by other programs: wl-clipboard on
// KDE (data control), the helper's remote desktop session on GNOME. A
// `type` given names the one format copied or read; else it is text.
class user_clipboard {
public:
    // The owner is the child itself, so that it ends with the test.
    void copy(const std::string& text, const std::string& type = "") {
        owner_.reset();
        if (desktop() == "gnome") {
            std::string out = te_wl_test::temp_dir() + "/ready";
            std::string cmd = "exec '" TE_SESSION_HELPER "' gnome-copy \"$0\" $1 > '" + out + "'";
            owner_ = std::make_unique<child>(std::vector<std::string>{"sh", "-c", cmd, text, type});
            wait_file_holds(out, "ready", 5000);
        } else {
            std::vector<std::string> argv{"wl-copy", "--foreground", text};
            if (!type.empty()) argv.insert(argv.end() - 1, {"--type", type});
            owner_ = std::make_unique<child>(argv);
        }
        usleep(300000);
    }
    std::string paste(const std::string& type = "") const {
        std::string out = te_wl_test::temp_dir() + "/pasted";
        std::string cmd = desktop() == "gnome" ? "'" TE_SESSION_HELPER "' gnome-paste $0 > '" + out + "'"
                                               : "wl-paste --no-newline ${0:+--type \"$0\"} > '" + out + "'";
        te_wl_test::run({"sh", "-c", cmd, type});
        return read_file(out);
    }

private:
    std::unique_ptr<child> owner_;
};

class BusDesktop : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(desktop().empty()) << "TE_TEST_DESKTOP names no desktop";
        std::string dir = te_wl_test::temp_dir();
        setenv("APPDATA", dir.c_str(), 1);
    }
    void TearDown() override { te_stop(); }
    user_clipboard clipboard;
};

TEST_F(BusDesktop, IsChosenFromWhatTheSessionOffers) {
    unsetenv("TE_DESKTOP");
    EXPECT_EQ(std::string(te_desktop_in_use().name), desktop());
}

struct typing_case {
    const char* name;
    std::string text;
};

void PrintTo(const typing_case& c, std::ostream* os) { *os << c.name; }

class BusDesktopTyping : public BusDesktop, public ::testing::WithParamInterface<typing_case> {};

TEST_P(BusDesktopTyping, ArrivesWholeAndTheClipboardStays) {
    gtk_window view;
    ASSERT_TRUE(view.ready()) << "the GTK window did not get the keyboard focus";
    clipboard.copy("the user's own clipboard");
    const std::string& text = GetParam().text;
    char why[512];
    ASSERT_EQ(desktop_missing(TE_NEED_TYPING | TE_NEED_CLIPBOARD, why, sizeof why), 0) << why;
    ASSERT_EQ(type_text_utf8(text.c_str(), 0), 0);
    EXPECT_TRUE(same_text(view.wait_for(text.size()), text));
    EXPECT_EQ(clipboard.paste(), "the user's own clipboard");
}

INSTANTIATE_TEST_SUITE_P(
    Texts, BusDesktopTyping,
    ::testing::Values(typing_case{"Short", "Grüße, Zoë — 東京 🎉 ok\nnext line"},
                      typing_case{"MixedScripts", te_wl_test::mixed_script_text(2000)},
                      typing_case{"Cjk", te_wl_test::cjk_text(2000)}),
    [](const ::testing::TestParamInfo<typing_case>& i) { return std::string(i.param.name); });

// KWin keeps no copy of a clipboard whose owner has gone and Mutter reads
// it from its owner: the restored clipboard must outlive `te expand`.
TEST_F(BusDesktop, OneShotExpandLeavesTheClipboardServed) {
    gtk_window view;
    ASSERT_TRUE(view.ready());
    ASSERT_EQ(te_snippet_add("{\"trigger\":\">>tokyo\",\"text\":\"東京\"}"), 1);
    clipboard.copy("kept after te ends");
    ASSERT_EQ(te_wl_test::run({TE_TOOL, "expand", ">>tokyo"}, 20000), 0);
    EXPECT_EQ(view.wait_for(6), "東京");
    EXPECT_EQ(clipboard.paste(), "kept after te ends");
}

// The caret goes back to a snippet's {cursor} over what follows it, pasted
// text too, so that what the user types next lands there.
TEST_F(BusDesktop, CaretEndsAtTheCursorPlaceholder) {
    gtk_window view;
    ASSERT_TRUE(view.ready());
    ASSERT_EQ(te_snippet_add("{\"trigger\":\">>dear\",\"text\":\"Dear {cursor}, 東京\"}"), 1);
    ASSERT_EQ(te_expand(">>dear"), 1) << te_last_error();
    view.wait_for(13);
    ASSERT_EQ(type_text_utf8("Jo", 0), 0);
    view.wait_for(15);
    EXPECT_EQ(view.text(), "Dear Jo, 東京");
}

// Mutter keeps a copy of a clipboard's text once its owner has gone, but
// of no other format: one no program knows comes back whole, still served
// after `te expand` has ended.
TEST_F(BusDesktop, EveryFormatOfTheClipboardComesBack) {
    gtk_window view;
    ASSERT_TRUE(view.ready());
    ASSERT_EQ(te_snippet_add("{\"trigger\":\">>tokyo\",\"text\":\"東京\"}"), 1);
    clipboard.copy("<kept/>", "application/x-te-test");
    ASSERT_EQ(te_wl_test::run({TE_TOOL, "expand", ">>tokyo"}, 20000), 0);
    EXPECT_EQ(view.wait_for(6), "東京");
    EXPECT_EQ(clipboard.paste("application/x-te-test"), "<kept/>");
}

// scripts/test-desktops.sh runs this one before anything gives the seat a
// keyboard: Mutter dropped the first key event of a new remote desktop
// session there.
TEST_F(BusDesktop, FirstKeyOnASeatWithoutKeyboardArrives) {
    if (!std::getenv("TE_TEST_BARE_SEAT")) GTEST_SKIP() << "the seat has a keyboard already";
    char why[512];
    // The engine's session gives the seat the keyboard the window needs.
    ASSERT_EQ(desktop_missing(TE_NEED_TYPING, why, sizeof why), 0) << why;
    gtk_window view;
    ASSERT_TRUE(view.ready());
    ASSERT_EQ(type_text_utf8("abc", 0), 0);
    EXPECT_EQ(view.wait_for(3), "abc");
}

// KWin lets a program type only when a desktop file names its path: a te
// run from elsewhere is refused, says how to be let, and `te kwin-trust`
// lets it (KWin reads the new file within a few seconds).
TEST_F(BusDesktop, TeWritesTheDesktopFileKWinAsksFor) {
    if (desktop() != "kde") GTEST_SKIP() << "KWin's own rule";
    gtk_window view;
    ASSERT_TRUE(view.ready());
    ASSERT_EQ(te_snippet_add("{\"trigger\":\">>tokyo\",\"text\":\"東京\"}"), 1);
    // A folder whose name needs quoting in Exec=.
    std::string dir = te_wl_test::temp_dir(), te = dir + "/a build/te";
    ASSERT_EQ(te_wl_test::run({"mkdir", dir + "/a build"}), 0);
    ASSERT_EQ(te_wl_test::run({"cp", TE_TOOL, te}), 0);
    EXPECT_NE(te_wl_test::run({"sh", "-c", "exec \"$0\" expand '>>tokyo' 2> '" + dir + "/said'", te}, 20000), 0);
    EXPECT_NE(read_file(dir + "/said").find("`te kwin-trust` writes one"), std::string::npos) << read_file(dir + "/said");
    ASSERT_EQ(te_wl_test::run({te, "kwin-trust"}), 0);
    int status = -1;
    for (long long end = te_wl_test::millis() + 15000; status != 0 && te_wl_test::millis() < end; usleep(500000))
        status = te_wl_test::run({te, "expand", ">>tokyo"}, 20000);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(view.wait_for(6), "東京");
}

// The copy ends with a trigger whose text takes the paste path: were the
// paste or the restore taken for a copy, it would be expanded again.
TEST_F(BusDesktop, CopyIsExpandedOnceDespiteThePaste) {
    gtk_window view;
    ASSERT_TRUE(view.ready());
    ASSERT_EQ(te_snippet_add("{\"trigger\":\">>tokyo\",\"text\":\"東京 ok\"}"), 1);
    ASSERT_EQ(te_start("{\"mode\":\"clipboard\",\"poll_ms\":10000}"), 1) << te_last_error();
    usleep(300000);
    clipboard.copy("see >>tokyo");
    EXPECT_EQ(view.wait_for(9, 5000), "東京 ok");
    usleep(1000000);
    EXPECT_EQ(view.received(), "東京 ok");
    EXPECT_EQ(clipboard.paste(), "see >>tokyo");
}

// Text fields paste the clipboard on Shift+Insert; terminals take Ctrl+V
// for a control character and Shift+Insert for the primary selection (or
// an escape sequence): on KDE, where the program in front is known, a
// terminal gets Ctrl+Shift+V. Nothing here owns the primary selection, so
// a chord pasting it would bring nothing.
TEST_F(BusDesktop, PasteChordPastesTheClipboardInATerminal) {
    if (desktop() == "gnome")
        GTEST_SKIP() << "plain Mutter names no program in front: Shift+Insert, which terminals take for the "
                        "primary selection";
    te_bus_test::terminal_window terminal;
    ASSERT_TRUE(terminal.ready()) << "the terminal got no focus";
    clipboard.copy("the user's own clipboard");
    ASSERT_EQ(type_text_utf8("東京 🎉", 0), 0);
    EXPECT_EQ(terminal.wait_for(11), "東京 🎉");
    EXPECT_EQ(clipboard.paste(), "the user's own clipboard");
}

TEST_F(BusDesktop, RuleNamingTheWindowClassBlocksIt) {
    if (desktop() != "kde") GTEST_SKIP() << "plain Mutter names no program in front";
    gtk_window view;
    ASSERT_TRUE(view.ready());
    char name[64];
    ASSERT_STREQ(foreground_process_name(name, sizeof name), "TE-GTK-VIEW");
    ASSERT_EQ(te_rule_set("te-gtk-view", "{\"allow\":false}"), 1);
    ASSERT_EQ(te_start("{\"mode\":\"clipboard\"}"), 1) << te_last_error();
    usleep(300000);
    clipboard.copy("Dear team, >>addr");
    usleep(1000000);
    EXPECT_EQ(view.received(), "");
}

}  // namespace
