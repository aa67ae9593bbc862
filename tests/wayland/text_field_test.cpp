// Keys mode's typing on a wlroots compositor (scripts/test-wayland.sh),
// into a real text field: a GTK 3 text view on Wayland. The machines that
// run the tests have no keyboards under /dev/input, so the user's keys are
// typed into the field through a virtual keyboard and handed to the engine
// as the key watch would report them; the engine's answer goes through the
// Wayland desktop: a word trigger and its separator, BackSpace taking an
// expansion back, and the caret at {cursor}.
#include <gtest/gtest.h>

#include "keys_mode.h"
#include "platform.h"
#include "textexpander.h"
#include "wl_harness.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace {

std::string te_file_text(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// The user's keys: into the field first, then to the engine as events.
void te_user_types(te_keys_state* k, const std::string& keys) {
    for (char c : keys) {
        te_key_event ev = {c == '\b' ? (int)TE_KEY_BACKSPACE : (int)TE_KEY_TEXT, {0}};
        if (c == '\b') {
            ASSERT_EQ(type_replacing(1, "", 0), 0);
        } else {
            ev.text[0] = c;
            ASSERT_EQ(type_text_utf8(ev.text, 0), 0);
        }
        te_keys_take(k, ev);
    }
}

TEST(WaylandTextField, WordTriggerUndoAndCaret) {
    if (!TE_GTK_VIEW_PATH[0]) GTEST_SKIP() << "no GTK 3 text view was built";
    ASSERT_TRUE(std::getenv("WAYLAND_DISPLAY")) << "no compositor at WAYLAND_DISPLAY";
    std::string dir = te_wl_test::temp_dir();
    setenv("APPDATA", dir.c_str(), 1);
    ASSERT_EQ(te_snippet_add("{\"trigger\":\"dear\",\"text\":\"Dear {cursor}, bye\"}"), 1);
    ASSERT_EQ(te_snippet_add("{\"trigger\":\"btw\",\"text\":\"by the way\",\"settings\":{\"word_triggers\":true}}"), 1);
    ASSERT_EQ(te_snippet_add("{\"trigger\":\"ty\",\"text\":\"thank you\"}"), 1);
    te_wl_test::child view({"env", "GDK_BACKEND=wayland", TE_GTK_VIEW_PATH, dir + "/typed", "te-field"});
    char front[64] = "";
    for (long long end = te_wl_test::millis() + 10000;
         (!foreground_process_name(front, sizeof front) || std::strcmp(front, "TE-GTK-VIEW") != 0) &&
         te_wl_test::millis() < end;)
        usleep(20000);
    ASSERT_STREQ(front, "TE-GTK-VIEW");
    usleep(300000);  // the view takes the keyboard's focus
    te_keys_state k;
    te_keys_reset(&k);
    const struct {
        const char* keys;
        const char* text;  // the field's whole text afterwards
    } steps[] = {
        {" btw,", " by the way,"},
        {" ty\b", " by the way, ty"},
        {" dear", " by the way, ty Dear , bye"},
        {"Jo", " by the way, ty Dear Jo, bye"},
    };
    for (const auto& step : steps) {
        te_user_types(&k, step.keys);
        std::string got;
        for (long long end = te_wl_test::millis() + 5000;
             (got = te_file_text(dir + "/typed.view")) != step.text && te_wl_test::millis() < end;)
            usleep(10000);
        ASSERT_EQ(got, step.text) << "after \"" << step.keys << "\"";
    }
}

}  // namespace
