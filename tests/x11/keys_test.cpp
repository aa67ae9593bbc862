// Keys mode on the X11 desktop, through the shared library: xdotool, or
// the server's own keyboard device pressed as a person would, types into
// the project's text window, and the worker expands a trigger the moment
// its last character arrives. xdotool is another program's typing, which
// keys mode watches only with "synthetic_keys".
// gtest first: Xlib defines None as a macro, which gtest uses as a name.
#include <gtest/gtest.h>

#include "textexpander.h"
#include "x11_harness.h"

#include <X11/keysym.h>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

const std::string TE_ADDRESS = "123 Example Street\nAuckland 1010\nNew Zealand";

typedef std::vector<std::vector<std::string>> te_steps;  // xdotool arguments, one run each

const char* const TE_KEYS = "{\"mode\":\"keys\"}";
const char* const TE_KEYS_SYNTHETIC = "{\"mode\":\"keys\",\"synthetic_keys\":true}";
const char* const TE_BTW = "{\"trigger\":\"btw\",\"text\":\"by the way\"}";

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
    std::string typed(const te_steps& steps, size_t bytes, const char* config = TE_KEYS_SYNTHETIC) {
        return typed_by([&steps]() {
            for (const std::vector<std::string>& step : steps) {
                std::vector<std::string> argv = {"xdotool"};
                argv.insert(argv.end(), step.begin(), step.end());
                if (te_test::run(argv) != 0) return false;
            }
            return true;
        }, bytes, config);
    }

    // The same with the keyboard's own keys.
    std::string keyed(const std::function<void(te_test::keyboard&)>& keys, size_t bytes) {
        te_test::keyboard kb;
        if (!kb.ready()) return "(no keyboard device)";
        return typed_by([&]() {
            keys(kb);
            return true;
        }, bytes, TE_KEYS);
    }

    std::string typed_by(const std::function<bool()>& type, size_t bytes, const char* config) {
        te_stop();
        win = std::make_unique<te_test::text_window>(window_args);
        if (!win->ready() || te_start(config) != 1) return "(no window or no keys mode)";
        if (!type()) return "(typing failed)";
        win->wait_for(bytes, 5000);
        usleep(500000);  // room for an expansion that should not come
        return win->received();
    }

    std::unique_ptr<te_test::text_window> win;
    std::vector<std::string> window_args;  // the text window's options
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

TEST_F(TypedTriggers, OtherProgramsTypingIsWatchedOnlyWhenAsked) {
    EXPECT_EQ(typed({{"type", "--delay", "15", " >>addr"}}, 7, TE_KEYS), " >>addr");
    EXPECT_EQ(typed({{"type", "--delay", "15", " >>addr"}}, 1 + TE_ADDRESS.size(), TE_KEYS_SYNTHETIC),
              " " + TE_ADDRESS);
}

// A fast typist presses the next key while the trigger's last one is still
// down; it lands after the expansion however long the two overlap.
TEST_F(TypedTriggers, RolloverLandsAfterTheExpansion) {
    ASSERT_EQ(te_snippet_add(TE_BTW), 1);
    for (int overlap_ms : {0, 30, 80}) {
        std::string got = keyed([overlap_ms](te_test::keyboard& kb) {
            kb.type("x bt", 15);
            kb.key("w", true);
            usleep(20000);
            kb.key(" ", true);
            usleep((useconds_t)overlap_ms * 1000);
            kb.key("w", false);
            kb.key(" ", false);
            kb.type("ok", 15);
        }, 15);
        EXPECT_EQ(got, "x by the way ok") << overlap_ms << " ms";
    }
}

// Keys typed right after the trigger, some before the engine can hold
// them and the rest while it types a long text, all land after it in order.
TEST_F(TypedTriggers, BurstAfterTheTriggerLandsAfterTheExpansion) {
    // Letters the US layout lacks: typed in rounds on spare keycodes, each
    // waiting for the window to take in the last.
    std::string text = "by the way: \xCE\xB1\xCE\xB2\xCE\xB3\xCE\xB4\xCE\xB5\xCE\xB6\xCE\xB7\xCE\xB8"
                       "\xCE\xB9\xCE\xBA\xCE\xBB\xCE\xBC\xD0\xB1\xD0\xB2\xD0\xB3\xD0\xB4\xD0\xB5\xD0\xB6"
                       "\xD0\xB7\xD0\xB8\xD0\xB9\xD0\xBA\xD0\xBB\xD0\xBC";
    ASSERT_EQ(te_snippet_add(("{\"trigger\":\"btw\",\"text\":\"" + text + "\"}").c_str()), 1);
    std::string want = "x " + text + " ok and more";
    std::string got = keyed([](te_test::keyboard& kb) {
        kb.type("x bt", 15);
        kb.type("w ok and more", 2);
    }, want.size());
    EXPECT_EQ(got, want);
}

// Enter right after the trigger, before the expansion could start: the
// trigger is no longer before the caret, so nothing is replaced.
TEST_F(TypedTriggers, EnterBeforeTheExpansionCallsItOff) {
    ASSERT_EQ(te_snippet_add(TE_BTW), 1);
    std::string got = keyed([](te_test::keyboard& kb) {
        kb.type("x bt", 15);
        kb.key("w", true);
        kb.key("Return", true);
        kb.key("w", false);
        kb.key("Return", false);
    }, 6);
    EXPECT_EQ(got, "x btw\n");
}

// While another client holds the keyboard (a password prompt), what is
// typed there is neither watched nor typed into, nor counted.
TEST_F(TypedTriggers, KeyboardGrabbedByAnotherClientIsLeftAlone) {
    ASSERT_EQ(te_snippet_add(TE_BTW), 1);
    Display* dpy = te_test::display();
    std::string got = keyed([dpy](te_test::keyboard& kb) {
        ASSERT_EQ(XGrabKeyboard(dpy, DefaultRootWindow(dpy), False, GrabModeAsync, GrabModeAsync, CurrentTime),
                  GrabSuccess);
        kb.type("pw.btw9", 15);
        usleep(300000);
        XUngrabKeyboard(dpy, CurrentTime);
        int backspaces = 0;
        while (XPending(dpy)) {
            XEvent ev;
            XNextEvent(dpy, &ev);
            backspaces += ev.type == KeyPress && XLookupKeysym(&ev.xkey, 0) == XK_BackSpace;
        }
        EXPECT_EQ(backspaces, 0) << "the engine typed into the grab";
        kb.type(" btw", 15);
    }, 11);
    EXPECT_EQ(got, " by the way");
    EXPECT_NE(std::string(te_stats_json()).find("\"expanded\":1,"), std::string::npos) << te_stats_json();
}

// A modifier pressed right after the trigger and still held when the
// keyboards are let go applies to the next key, as it would without the
// engine; once the user lets go of it, the engine's own Shift works again
// (the next expansion's capital). AltGr is the German layout's; Ctrl+A
// types nothing.
struct te_held_modifier_case {
    const char* name;
    const char* layout;
    const char* modifier;
    const char* key;
    const char* want;
};

void PrintTo(const te_held_modifier_case& c, std::ostream* os) { *os << c.name; }

class HeldModifiers : public TypedTriggers, public ::testing::WithParamInterface<te_held_modifier_case> {};

TEST_P(HeldModifiers, ModifierHeldAcrossTheEndOfTheHoldStaysDown) {
    const te_held_modifier_case& c = GetParam();
    if (c.layout[0]) use_layout({c.layout});
    ASSERT_EQ(te_snippet_add("{\"trigger\":\"btw\",\"text\":\"By the way\"}"), 1);
    std::string want = std::string("x By the way") + c.want + " By the way";
    std::string got = keyed([&c](te_test::keyboard& kb) {
        kb.type("x bt", 15);
        kb.key("w", true);
        kb.key(c.modifier, true);
        kb.key("w", false);
        usleep(300000);
        kb.key(c.key, true);
        kb.key(c.key, false);
        kb.key(c.modifier, false);
        kb.type(" btw", 15);
    }, want.size());
    EXPECT_EQ(got, want);
}

const te_held_modifier_case te_held_modifier_cases[] = {
    {"Shift", "", "Shift_L", "h", "H"},
    {"AltGr", "de", "ISO_Level3_Shift", "q", "@"},
    {"Ctrl", "", "Control_L", "a", ""},
};

INSTANTIATE_TEST_SUITE_P(Keys, HeldModifiers, ::testing::ValuesIn(te_held_modifier_cases),
                         [](const ::testing::TestParamInfo<te_held_modifier_case>& i) { return i.param.name; });

// The program in front answers its first ping at once and each later one
// 2.5 s late (a busy browser): the typing waits for it, but the keyboard
// is let go once the hold has lasted its second. What the user typed
// meanwhile reaches the window then (after the erased trigger, before the
// expansion the typing is still waiting to type), and Shift, pressed
// during the hold and still held, applies to the next key.
TEST_F(TypedTriggers, KeyboardIsLetGoOnTimeWhenPingsAreAnsweredLate) {
    const std::string greek = "\xCE\xB1\xCE\xB2\xCE\xB3";
    ASSERT_EQ(te_snippet_add(("{\"trigger\":\"btw\",\"text\":\"" + greek + "\"}").c_str()), 1);
    window_args = {"--late-pings", "2500"};
    long long grabbed_ms = 0;
    std::string want = "x o" + greek + "K";
    std::string got = keyed([&](te_test::keyboard& kb) {
        kb.type("x bt", 15);
        kb.type("w", 0);
        long long since = -1, start = te_test::millis();
        bool pressed = false;
        while (te_test::millis() - start < 8000) {
            bool grabbed = kb.grabbed();
            long long now = te_test::millis();
            if (grabbed && since < 0) since = now;
            if (since >= 0) grabbed_ms = now - since;
            if (since >= 0 && !grabbed) break;
            if (since >= 0 && !pressed && now - since > 200) {
                kb.type("o", 0);
                kb.key("Shift_L", true);
                pressed = true;
            }
            usleep(5000);
        }
        win->wait_for(want.size() - 1, 8000);
        kb.type("k", 0);
        kb.key("Shift_L", false);
    }, want.size());
    EXPECT_LT(grabbed_ms, 1500) << "the keyboard stayed grabbed that many ms";
    EXPECT_EQ(got, want);
}

// In a real text field (GTK 3), typed as a person types: the caret goes
// back to the {cursor}, so what is typed next lands there; a word trigger
// expands once a separator follows it, the separator after its text; and a
// BackSpace right after an expansion brings the trigger back.
TEST_F(TypedTriggers, CaretWordTriggerAndUndoInATextField) {
    if (!TE_GTK_VIEW_PATH[0]) GTEST_SKIP() << "no GTK 3 text view was built";
    ASSERT_EQ(te_snippet_add("{\"trigger\":\"dear\",\"text\":\"Dear {cursor}, bye\"}"), 1);
    ASSERT_EQ(te_snippet_add("{\"trigger\":\"btw\",\"text\":\"by the way\",\"settings\":{\"word_triggers\":true}}"), 1);
    ASSERT_EQ(te_snippet_add("{\"trigger\":\"ty\",\"text\":\"thank you\"}"), 1);
    te_test::text_window view(TE_GTK_VIEW_PATH);
    ASSERT_TRUE(view.ready());
    ASSERT_EQ(te_start(TE_KEYS_SYNTHETIC), 1);
    std::string whole = view.output_path() + ".view";
    const struct {
        std::vector<std::string> xdotool;
        std::string text;  // the field's whole text afterwards
    } steps[] = {
        {{"type", "--delay", "15", " dear"}, " Dear , bye"},
        {{"type", "--delay", "15", "Jo"}, " Dear Jo, bye"},
        {{"key", "ctrl+End"}, " Dear Jo, bye"},
        {{"type", "--delay", "15", " btw,"}, " Dear Jo, bye by the way,"},
        {{"type", "--delay", "15", " btw"}, " Dear Jo, bye by the way, btw"},
        {{"key", "Return"}, " Dear Jo, bye by the way, by the way\n"},
        {{"type", "--delay", "15", "ty"}, " Dear Jo, bye by the way, by the way\nthank you"},
        {{"key", "BackSpace"}, " Dear Jo, bye by the way, by the way\nty"},
    };
    for (const auto& step : steps) {
        std::vector<std::string> argv = {"xdotool"};
        argv.insert(argv.end(), step.xdotool.begin(), step.xdotool.end());
        ASSERT_EQ(te_test::run(argv), 0);
        std::string got;
        for (long long end = te_test::millis() + 5000; (got = te_test::read_file(whole)) != step.text && te_test::millis() < end;)
            usleep(10000);
        ASSERT_EQ(got, step.text) << "after " << step.xdotool.back();
    }
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
