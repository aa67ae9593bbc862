// The Wayland desktop on a wlroots compositor (scripts/test-wayland.sh):
// typing into foot, the clipboard, the program in front, and what a start
// says when the keyboards cannot be read. The engine runs in this process.
#include <gtest/gtest.h>

#include "input_devices.h"
#include "platform.h"
#include "textexpander.h"
#include "wl_connection.h"
#include "wl_harness.h"

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <future>
#include <memory>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <wayland-client.h>

namespace {

using te_wl_test::millis;
using te_wl_test::sink;

// foot in raw mode receives Return as a carriage return.
std::string as_terminal_gets(std::string text) {
    for (char& c : text)
        if (c == '\n') c = '\r';
    return text;
}

// What >>addr types, as foot passes it on.
const std::string address = as_terminal_gets("123 Example Street\nAuckland 1010\nNew Zealand");

class Wayland : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(std::getenv("WAYLAND_DISPLAY")) << "no compositor at WAYLAND_DISPLAY";
        std::string dir = te_wl_test::temp_dir();
        chmod(dir.c_str(), 0777);
        setenv("APPDATA", dir.c_str(), 1);
        te_wl_test::run({"wl-copy", "--clear"});
    }
    void TearDown() override { te_stop(); }

    void copy(const std::string& text) {
        wl_copy = std::make_unique<te_wl_test::child>(std::vector<std::string>{"wl-copy", "--foreground", text});
    }

    std::unique_ptr<te_wl_test::child> wl_copy;
};

struct typing_case {
    const char* name;
    std::string text;
};

void PrintTo(const typing_case& c, std::ostream* os) { *os << c.name; }

class WaylandTyping : public Wayland, public ::testing::WithParamInterface<typing_case> {};

TEST_P(WaylandTyping, ArrivesWhole) {
    sink foot;
    ASSERT_TRUE(foot.ready()) << "foot did not start or is not in front";
    const std::string& text = GetParam().text;
    ASSERT_EQ(type_text_utf8(text.c_str(), 0), 0);
    EXPECT_EQ(foot.wait_for(text.size()), text);
}

INSTANTIATE_TEST_SUITE_P(TwoThousandChars, WaylandTyping,
                         ::testing::Values(typing_case{"MixedScripts", te_wl_test::mixed_script_text(2000)},
                                           typing_case{"Cjk", te_wl_test::cjk_text(2000)}),
                         [](const ::testing::TestParamInfo<typing_case>& i) { return std::string(i.param.name); });

TEST_F(Wayland, CopiedTriggerIsExpandedIntoFoot) {
    sink foot;
    ASSERT_TRUE(foot.ready());
    ASSERT_EQ(te_start("{\"mode\":\"clipboard\",\"poll_ms\":10000}"), 1);
    usleep(200000);
    copy("Dear team, >>addr");
    EXPECT_EQ(foot.wait_for(address.size(), 5000), address);
}

// The connection breaks and is made again while the watch is not waiting,
// on the descriptor number of the old one: the watch follows the new
// connection, and a copy ends the next wait at once.
TEST_F(Wayland, WatchFollowsARemadeConnection) {
    ASSERT_EQ(watch_open(TE_WATCH_CLIPBOARD), TE_WATCH_CLIPBOARD);
    watch_wait(50);
    std::unique_lock<std::mutex> hold(te_wl_lock);
    int fd = wl_display_get_fd(te_wl_connection_locked()->display);
    shutdown(fd, SHUT_RDWR);
    te_wl_pump_locked(te_wl_connection_locked());  // it broke: dropped
    EXPECT_FALSE(te_wl_connection_locked());
    usleep(1100000);
    EXPECT_EQ(wl_display_get_fd(te_wl_connection_locked()->display), fd);
    hold.unlock();
    watch_wait(100);
    copy("Dear team, >>addr");
    long long start = millis();
    EXPECT_EQ(watch_wait(5000), TE_WATCH_CLIPBOARD);
    EXPECT_LT(millis() - start, 2500);
    watch_close();
}

// A compositor that stops answering: the typing ends in an error instead of
// waiting for ever (what it sent may still arrive), other threads are not
// held up meanwhile, and once the compositor goes on a new
// connection serves the watch again.
TEST_F(Wayland, AHungCompositorEndsInAnError) {
    sink foot;
    ASSERT_TRUE(foot.ready());
    ASSERT_EQ(te_start("{\"mode\":\"clipboard\"}"), 1);
    pid_t sway = (pid_t)std::atoi(std::getenv("TE_WL_COMPOSITOR_PID"));
    ASSERT_EQ(kill(sway, SIGSTOP), 0);
    auto typing = std::async(std::launch::async, [] { return type_text_utf8("sent", 0); });
    usleep(300000);
    char name[64];
    auto asking = std::async(std::launch::async, [&name] { return foreground_process_name(name, sizeof name); });
    EXPECT_EQ(asking.wait_for(std::chrono::milliseconds(500)), std::future_status::ready) << "held up by the typing";
    bool ended = typing.wait_for(std::chrono::seconds(8)) == std::future_status::ready;
    kill(sway, SIGCONT);
    ASSERT_TRUE(ended) << "the typing waits for a compositor that does not answer";
    EXPECT_NE(typing.get(), 0);
    usleep(1500000);
    copy("Dear team, >>addr");
    std::string got = foot.wait_for(address.size(), 5000);
    EXPECT_EQ(got.substr(got.size() > address.size() ? got.size() - address.size() : 0), address);
}

// A seat without a keyboard (a touch screen, a compositor started with no
// input device): the engine's virtual keyboard is the seat's first, which
// programs bind only once told of it; the first text waits for them.
TEST(WaylandWithoutKeyboard, FirstTextArrivesWhole) {
    const char* bare = std::getenv("TE_WL_BARE_DISPLAY");
    ASSERT_TRUE(bare) << "no compositor without keyboard at TE_WL_BARE_DISPLAY";
    setenv("WAYLAND_DISPLAY", bare, 1);
    sink foot;
    ASSERT_TRUE(foot.ready());
    std::string text = "The quick brown fox jumps over the lazy dog.";
    EXPECT_EQ(type_text_utf8(text.c_str(), 0), 0);
    EXPECT_EQ(foot.wait_for(text.size(), 5000), text);
}

// A compositor names no process: the toplevel whose app_id is this
// program's executable name (any case) is its own; foot as "sink" is not.
TEST_F(Wayland, OwnWindowIsTheOneNamedAfterThisProgram) {
    {
        sink foot;
        ASSERT_TRUE(foot.ready());
        EXPECT_EQ(foreground_is_this_process(), 0);
    }
    te_wl_test::child own({"foot", "--app-id=TE_WAYLAND_TESTS", "sleep", "30"});
    char name[64];
    long long end = millis() + 10000;
    while (millis() < end && !(foreground_process_name(name, sizeof name) &&
                               std::string(name) == "TE_WAYLAND_TESTS"))
        usleep(10000);
    EXPECT_EQ(foreground_is_this_process(), 1);
}

// Rules name programs by app_id, upper-cased: foot started as "sink".
TEST_F(Wayland, RulesFollowTheAppIdInFront) {
    sink foot;
    ASSERT_TRUE(foot.ready());
    char name[64];
    ASSERT_STREQ(foreground_process_name(name, sizeof name), "SINK");
    ASSERT_EQ(te_rule_set("sink", "{\"allow\":false}"), 1);
    ASSERT_EQ(te_start("{\"mode\":\"clipboard\"}"), 1);
    usleep(200000);
    copy("Dear team, >>addr");
    usleep(1000000);
    EXPECT_EQ(foot.received(), "");
}

// In a process of an ordinary user, for whom a folder of root's cannot be
// read: keys and hotkey modes say how to get the keyboards; the clipboard
// mode starts all the same.
TEST_F(Wayland, KeysModeSaysHowToReadTheKeyboards) {
    std::string dir = te_wl_test::temp_dir();
    ASSERT_EQ(close(open((dir + "/event0").c_str(), O_CREAT | O_WRONLY, 0600)), 0);
    pid_t pid = fork();
    if (pid == 0) {
        if (setgid(65534) != 0 || setuid(65534) != 0) _exit(10);
        te_wl_input_dir = dir.c_str();
        int bad = 0;
        const char* modes[][2] = {{"{\"mode\":\"keys\"}", "keys mode: "}, {"{\"mode\":\"hotkey\"}", "hotkey mode: "}};
        for (auto& m : modes) {
            int started = te_start(m[0]);
            std::string err = te_last_error();
            fprintf(stderr, "%s -> %d %s\n", m[0], started, err.c_str());
            if (started || err.rfind(m[1], 0) != 0 || err.find("input group") == std::string::npos) bad++;
            te_stop();
        }
        if (te_start("{\"mode\":\"clipboard\"}") != 1) bad++;
        te_stop();
        _exit(bad);
    }
    int status = -1;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
}

}  // namespace
