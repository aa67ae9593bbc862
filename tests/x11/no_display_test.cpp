// Without a reachable X server the desktop answers like the headless one,
// quickly, and a server that goes away never takes the process with it.
// gtest first: Xlib defines None as a macro, which gtest uses as a name.
#include <gtest/gtest.h>

#include "platform.h"
#include "x11_harness.h"

#include <cstdlib>
#include <memory>
#include <string>
#include <unistd.h>

namespace {

// Every function once, with the headless answers expected.
void expect_headless_answers() {
    char out[64] = "x";
    EXPECT_EQ(type_text_utf8("", 0), -1);
    EXPECT_EQ(type_text_utf8("abc", 0), -3);
    EXPECT_EQ(get_clipboard_text_utf8(out, sizeof out), nullptr);
    EXPECT_EQ(out[0], 0);
    out[0] = 'x';
    EXPECT_EQ(foreground_process_name(out, sizeof out), nullptr);
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(clipboard_sequence(), 0u);
    EXPECT_EQ(key_is_down(17), 0);
    EXPECT_EQ(hotkey_pressed_now("ctrl+shift+e"), 0);
}

// Milliseconds that `calls` rounds of every function take.
long long time_rounds(int calls) {
    char out[64];
    long long start = te_test::millis();
    for (int i = 0; i < calls; i++) {
        type_text_utf8("abc", 0);
        get_clipboard_text_utf8(out, sizeof out);
        foreground_process_name(out, sizeof out);
        key_is_down(65);
    }
    return te_test::millis() - start;
}

TEST(NoDisplay, UnsetDisplayGivesHeadlessAnswersFast) {
    unsetenv("DISPLAY");
    expect_headless_answers();
    EXPECT_LT(time_rounds(1000), 500);
}

TEST(NoDisplay, UnreachableServerGivesHeadlessAnswersFast) {
    setenv("DISPLAY", ":9999", 1);
    expect_headless_answers();
    EXPECT_LT(time_rounds(1000), 500);
}

// Starts an Xvfb of the test's own and points DISPLAY at it; its display
// number, empty when it did not start. The server picks a free number
// itself and prints it.
std::string te_own_server(std::unique_ptr<te_test::child>* server) {
    *server = std::make_unique<te_test::child>(
        std::vector<std::string>{"Xvfb", "-displayfd", "1", "-nolisten", "tcp", "-noreset"}, true);
    std::string number = (*server)->read_line(10000);
    if (!number.empty()) setenv("DISPLAY", (":" + number).c_str(), 1);
    return number;
}

TEST(NoDisplay, LostServerLeavesTheProcessRunning) {
    std::unique_ptr<te_test::child> server;
    ASSERT_FALSE(te_own_server(&server).empty()) << "Xvfb did not start";
    char out[64];
    usleep(1100000);  // past the retry delay of the failed opens above
    EXPECT_EQ(foreground_process_name(out, sizeof out), nullptr);  // connects: root has the focus
    server.reset();
    expect_headless_answers();
    EXPECT_LT(time_rounds(100), 500);
}

// A display number far above those servers pick for themselves, so that
// none started meanwhile (by other runs on this machine) takes it; DISPLAY
// names it.
std::string te_free_display() {
    int n = 1000 + getpid() % 4000;
    while (access(("/tmp/.X" + std::to_string(n) + "-lock").c_str(), F_OK) == 0 ||
           access(("/tmp/.X11-unix/X" + std::to_string(n)).c_str(), F_OK) == 0)
        n++;
    std::string number = std::to_string(n);
    setenv("DISPLAY", (":" + number).c_str(), 1);
    return number;
}

std::unique_ptr<te_test::child> te_server_at(const std::string& number) {
    return std::make_unique<te_test::child>(
        std::vector<std::string>{"Xvfb", ":" + number, "-nolisten", "tcp", "-noreset"});
}

// Whether the server at DISPLAY answers within ten seconds.
bool te_server_answers() {
    for (long long end = te_test::millis() + 10000; te_test::millis() < end; usleep(20000)) {
        if (Display* dpy = XOpenDisplay(nullptr)) {
            XCloseDisplay(dpy);
            return true;
        }
    }
    return false;
}

// A worker may wait without a time limit: a wait does not sleep through
// the loss of its server. Once a server is back at the display, the
// clipboard counts as changed (anything may have happened meanwhile).
TEST(NoDisplay, WaitEndsOnceTheServerIsBack) {
    std::string number = te_free_display();
    std::unique_ptr<te_test::child> server = te_server_at(number);
    ASSERT_TRUE(te_server_answers()) << "Xvfb did not start";
    ASSERT_EQ(watch_open(TE_WATCH_CLIPBOARD), TE_WATCH_CLIPBOARD);
    server.reset();
    // Back half a second later; the delay is the shell's, since a thread
    // forking under the sanitizers may never get its child going.
    server = std::make_unique<te_test::child>(std::vector<std::string>{
        "sh", "-c", "sleep 0.5; exec Xvfb :" + number + " -nolisten tcp -noreset"});
    long long start = te_test::millis();
    EXPECT_EQ(watch_wait(10000), TE_WATCH_CLIPBOARD);
    EXPECT_LT(te_test::millis() - start, 5000);
    watch_close();
}

// A server that is starting (or resetting) refuses connections for a
// moment: the key watch tries again instead of failing at once.
TEST(NoDisplay, KeyWatchWaitsForAServerThatIsStarting) {
    std::string number = te_free_display();
    te_test::child server({"sh", "-c", "sleep 0.3; exec Xvfb :" + number + " -nolisten tcp -noreset"});
    EXPECT_EQ(watch_open(TE_WATCH_KEYS), TE_WATCH_KEYS);
    watch_close();
}

}  // namespace
