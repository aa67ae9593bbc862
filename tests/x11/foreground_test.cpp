// The program in front, found from the window manager's active window or,
// without a window manager, from the input focus.
// gtest first: Xlib defines None as a macro, which gtest uses as a name.
#include <gtest/gtest.h>

#include "platform.h"
#include "x11_harness.h"

namespace {

class Foreground : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(te_test::display()) << "no X server at DISPLAY";
        ASSERT_TRUE(win.ready()) << "the text window did not start";
        te_test::set_active_window(0);
    }
    void TearDown() override { te_test::set_active_window(0); }

    // A small window under `parent`, mapped and given the input focus.
    static Window focused_window(Window parent) {
        Display* dpy = te_test::display();
        Window w = XCreateSimpleWindow(dpy, parent, 0, 0, 10, 10, 0, 0, 0);
        XMapWindow(dpy, w);
        XSync(dpy, False);
        te_test::set_focus(w);
        return w;
    }

    te_test::text_window win;
    char out[256] = {};
};

TEST_F(Foreground, FocusedWindowGivesItsExecutableUpperCased) {
    ASSERT_EQ(foreground_process_name(out, sizeof out), out);
    EXPECT_STREQ(out, "TE-WINDOW");
}

TEST_F(Foreground, FocusOnAChildWindowWalksUpToTheProcess) {
    Window inner = focused_window(win.window());
    EXPECT_EQ(foreground_process_name(out, sizeof out), out);
    EXPECT_STREQ(out, "TE-WINDOW");
    XDestroyWindow(te_test::display(), inner);
}

// xev, Tk, Motif and some Java programs set no _NET_WM_PID: the server
// still knows their process.
TEST_F(Foreground, WindowWithoutAPidIsNamedByItsClientsProcess) {
    Window nameless = focused_window(DefaultRootWindow(te_test::display()));
    EXPECT_EQ(foreground_process_name(out, sizeof out), out);
    EXPECT_STREQ(out, "TE_X11_TESTS");
    XDestroyWindow(te_test::display(), nameless);
}

TEST_F(Foreground, ActiveWindowOfTheWindowManagerWins) {
    Display* dpy = te_test::display();
    Window nameless = XCreateSimpleWindow(dpy, DefaultRootWindow(dpy), 0, 0, 10, 10, 0, 0, 0);
    te_test::set_active_window(nameless);
    EXPECT_EQ(foreground_process_name(out, sizeof out), out);
    EXPECT_STREQ(out, "TE_X11_TESTS");  // this process made it
    te_test::set_active_window(win.window());
    te_test::set_focus(None);
    EXPECT_EQ(foreground_process_name(out, sizeof out), out);
    EXPECT_STREQ(out, "TE-WINDOW");
    XDestroyWindow(dpy, nameless);
}

// A window this process made (named by its client, as Qt's are by their
// pid) is its own; another program's and none are not.
TEST_F(Foreground, OwnWindowIsToldFromAnotherProgramsWindow) {
    EXPECT_EQ(foreground_is_this_process(), 0);  // te-window in front
    Window own = focused_window(DefaultRootWindow(te_test::display()));
    EXPECT_EQ(foreground_is_this_process(), 1);
    te_test::set_focus(None);
    EXPECT_EQ(foreground_is_this_process(), 0);
    XDestroyWindow(te_test::display(), own);
}

TEST_F(Foreground, NoFocusGivesNothing) {
    te_test::set_focus(None);
    out[0] = 'x';
    EXPECT_EQ(foreground_process_name(out, sizeof out), nullptr);
    EXPECT_EQ(out[0], 0);
}

TEST_F(Foreground, NameMustFitWithItsNul) {
    EXPECT_EQ(foreground_process_name(out, 10), out);  // "TE-WINDOW" and its NUL
    EXPECT_EQ(foreground_process_name(out, 9), nullptr);
    EXPECT_EQ(out[0], 0);
    out[0] = 'x';
    EXPECT_EQ(foreground_process_name(out, 1), nullptr);
    EXPECT_EQ(out[0], 'x');
}

}  // namespace
