// Typing into the project's text window through the X server: what is typed
// must arrive whole and in order, and the keyboard must be left as found.
// gtest first: Xlib defines None as a macro, which gtest uses as a name.
#include <gtest/gtest.h>

#include "platform.h"
#include "x11_harness.h"

#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <algorithm>
#include <thread>
#include <unistd.h>

using te_test::text_window;

namespace {

bool te_held(KeySym ks) {
    char keys[32];
    XQueryKeymap(te_test::display(), keys);
    KeyCode code = XKeysymToKeycode(te_test::display(), ks);
    return (keys[code / 8] >> (code % 8)) & 1;
}

// Lets go of the key after `ms`, on a connection of its own: no process
// start delays it.
void te_let_go_after(KeySym ks, int ms) {
    Display* dpy = XOpenDisplay(nullptr);
    if (!dpy) return;
    usleep((useconds_t)ms * 1000);
    XTestFakeKeyEvent(dpy, XKeysymToKeycode(dpy, ks), False, CurrentTime);
    XCloseDisplay(dpy);
}

// Every keycode without symbols bound to one, while this lives.
struct te_spare_keys_taken {
    std::vector<KeyCode> codes;

    te_spare_keys_taken() {
        Display* dpy = te_test::display();
        int lo = 0, hi = 0, per = 0;
        XDisplayKeycodes(dpy, &lo, &hi);
        KeySym* map = XGetKeyboardMapping(dpy, (KeyCode)lo, hi - lo + 1, &per);
        for (int code = lo; code <= hi; code++) {
            KeySym* syms = map + (code - lo) * per;
            if (std::all_of(syms, syms + per, [](KeySym ks) { return ks == NoSymbol; })) codes.push_back((KeyCode)code);
        }
        XFree(map);
        bind(0x1002603);  // U+2603, any keysym will do
    }
    ~te_spare_keys_taken() { bind(NoSymbol); }

    void bind(KeySym ks) {
        for (KeyCode code : codes) XChangeKeyboardMapping(te_test::display(), code, 1, &ks, 1);
        XSync(te_test::display(), False);
    }
};

class Typing : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(te_test::display()) << "no X server at DISPLAY";
        ASSERT_TRUE(win.ready()) << "the text window did not start";
        mapping_before = te_test::keyboard_mapping();
    }
    void TearDown() override { EXPECT_EQ(te_test::keyboard_mapping(), mapping_before) << "keyboard mapping changed"; }

    // Types the text and returns what the window received.
    std::string type_and_read(const std::string& text) {
        EXPECT_EQ(type_text_utf8(text.c_str(), 0), 0);
        return win.wait_for(text.size());
    }

    text_window win;
    std::vector<KeySym> mapping_before;
};

TEST_F(Typing, ScriptsArriveAsTyped) {
    const std::string text = "Hello, World! 0123 ~`|\\\"' "
                             "caf\xC3\xA9 na\xC3\xAFve \xC3\x85ngstr\xC3\xB6m \xC5\x93uvre "
                             "\xCE\xBA\xCE\xB1\xCE\xBB\xCE\xB7\xCE\xBC\xCE\xAD\xCF\x81\xCE\xB1 "
                             "\xE4\xBD\xA0\xE5\xA5\xBD\xE4\xB8\x96\xE7\x95\x8C "
                             "\xF0\x9F\x98\x80\xF0\x9F\x8E\x89\xF0\x9F\x91\x8D";
    EXPECT_EQ(type_and_read(text), text);
}

TEST_F(Typing, LineBreaksAndTabsArriveAsReturnAndTab) {
    EXPECT_EQ(type_and_read("first line\n\tsecond line"), "first line\n\tsecond line");
    EXPECT_EQ(type_and_read("a\r\nb"), "first line\n\tsecond linea\nb");
}

TEST_F(Typing, TenThousandMixedCharactersArriveInOrder) {
    const std::string text = te_test::mixed_text(10000);
    std::string got = type_and_read(text);
    ASSERT_EQ(got.size(), text.size());
    EXPECT_TRUE(got == text) << "first difference at byte " << std::mismatch(got.begin(), got.end(), text.begin()).first - got.begin();
}

TEST_F(Typing, RepeatedForeignCharactersOnOneSpareKey) {
    const std::string text = "\xCE\xA9\xCE\xA9\xCE\xA9x\xCE\xA9";
    EXPECT_EQ(type_and_read(text), text);
}

TEST_F(Typing, MalformedUtf8ArrivesAsReplacementCharacter) {
    EXPECT_EQ(type_and_read("a\xFF" "b\xC3"), "a\xEF\xBF\xBD" "b\xEF\xBF\xBD");
}

// Held past the wait, Ctrl is let go of for the typing and stays up: the
// typing never presses a key it did not press itself.
TEST_F(Typing, HeldControlDoesNotTurnTextIntoShortcuts) {
    ASSERT_EQ(te_test::run({"xdotool", "keydown", "ctrl"}), 0);
    std::string got = type_and_read("save as q");
    bool still_down = te_held(XK_Control_L);
    te_test::run({"xdotool", "keyup", "ctrl"});
    EXPECT_EQ(got, "save as q");
    EXPECT_FALSE(still_down) << "Ctrl was pressed again after the typing";
}

TEST_F(Typing, ControlLetGoOfDuringTypingIsNotLeftDown) {
    ASSERT_EQ(te_test::run({"xdotool", "keydown", "ctrl"}), 0);
    std::thread let_go(te_let_go_after, XK_Control_L, 40);
    const std::string text = te_test::mixed_text(300, 3);
    long long t0 = te_test::millis();
    EXPECT_EQ(type_text_utf8(text.c_str(), 0), 0);
    fprintf(stderr, "TYPING TOOK %lld ms\n", te_test::millis() - t0);
    std::string got = win.wait_for(text.size());
    let_go.join();
    EXPECT_FALSE(te_held(XK_Control_L)) << "Ctrl is still down";
    EXPECT_TRUE(got == text) << "the text did not arrive as typed";
}

TEST_F(Typing, NothingIsTypedWhileTheChordIsHeld) {
    ASSERT_EQ(te_test::run({"xdotool", "keydown", "ctrl+shift+e"}), 0);
    std::string before_release = "not read";
    std::thread let_go([&] {
        usleep(200000);
        before_release = win.received();
        te_test::run({"xdotool", "keyup", "ctrl+shift+e"});
    });
    std::string got = type_and_read("after the chord");
    let_go.join();
    EXPECT_EQ(before_release, "");
    EXPECT_EQ(got, "after the chord");
}

// Other tools, and hosts that died while typing, leave spare keycodes bound.
TEST_F(Typing, NoSpareKeycodeLeftRefusesCharactersTheLayoutLacks) {
    {
        te_spare_keys_taken taken;
        ASSERT_FALSE(taken.codes.empty());
        EXPECT_EQ(type_text_utf8("caf\xC3\xA9", 0), -2);
    }
    EXPECT_EQ(win.wait_for(0, 0), "");
}

TEST_F(Typing, KeyStillHeldFromTheHotkeyIsTypedToo) {
    ASSERT_EQ(te_test::run({"xdotool", "keydown", "ctrl+shift+e"}), 0);
    std::string got = type_and_read("Eee E");
    te_test::run({"xdotool", "keyup", "ctrl+shift+e"});
    EXPECT_EQ(got, "Eee E");
}

// A click while the user's keys are held may have moved the cursor away
// from the trigger before its erase: the replacing is called off.
TEST_F(Typing, ClickDuringAHoldCallsTheReplacingOff) {
    ASSERT_EQ(type_and_read("a"), "a");
    ASSERT_EQ(watch_open(TE_WATCH_KEYS), TE_WATCH_KEYS);
    ASSERT_EQ(keys_hold_begin(), TE_HOLD_ON);
    te_test::click();
    EXPECT_EQ(type_replacing(1, "b", 0), TE_TYPING_CLICKED);
    keys_hold_end();
    watch_close();
    EXPECT_EQ(win.wait_for(2, 300), "a");
}

TEST_F(Typing, ResultCodesFollowTheOrderOfTests) {
    EXPECT_EQ(type_text_utf8(nullptr, 0), -1);
    EXPECT_EQ(type_text_utf8("", 1), -1);
    EXPECT_EQ(type_text_utf8("abc", 1), -3);
    te_test::set_focus(None);
    EXPECT_EQ(type_text_utf8("abc", 0), -3);
    te_test::set_focus(win.window());
    EXPECT_EQ(win.wait_for(0, 0), "");
}

}  // namespace
