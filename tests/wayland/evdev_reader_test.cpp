// The key watch's reader fed recorded evdev streams through a pipe, as the
// kernel delivers them (scan code, key, report), cut into pieces that split
// records: what the keys type under the US and German layouts; keyboards
// that are pipes plugged in and out and losing events; and on the
// compositor, keys typed while other programs type or while no window of
// the session has the keyboard.
#include <gtest/gtest.h>

#include "console.h"
#include "evdev_reader.h"
#include "input_devices.h"
#include "platform.h"
#include "seat_keymap.h"
#include "textexpander.h"
#include "wl_connection.h"
#include "wl_harness.h"

#include <fcntl.h>
#include <fstream>
#include <unistd.h>
#include <xkbcommon/xkbcommon.h>

namespace {

struct key_action {
    int code;
    int value;  // 1 press, 0 release, 2 autorepeat
};

std::vector<key_action> tap(int code) { return {{code, 1}, {code, 0}}; }
std::vector<key_action> with(int modifier, int code) { return {{modifier, 1}, {code, 1}, {code, 0}, {modifier, 0}}; }
std::vector<key_action> join(std::initializer_list<std::vector<key_action>> parts) {
    std::vector<key_action> out;
    for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

// The records of the actions, as a keyboard reports them.
std::vector<input_event> records(const std::vector<key_action>& actions) {
    std::vector<input_event> out;
    for (const key_action& a : actions) {
        input_event scan = {}, key = {}, report = {};
        scan.type = EV_MSC;
        scan.code = MSC_SCAN;
        scan.value = 0x70000 + a.code;
        key.type = EV_KEY;
        key.code = (unsigned short)a.code;
        key.value = a.value;
        report.type = EV_SYN;
        report.code = SYN_REPORT;
        out.insert(out.end(), {scan, key, report});
    }
    return out;
}

// What the reader queued: text, <BS> for a BackSpace, <R> for a reset.
std::string typed_text(te_key_queue* queue) {
    std::string out;
    te_key_event ev;
    while (te_key_queue_pop(queue, &ev))
        out += ev.kind == TE_KEY_TEXT ? std::string(ev.text) : ev.kind == TE_KEY_BACKSPACE ? "<BS>" : "<R>";
    return out;
}

struct stream_case {
    const char* name;
    const char* layout;
    std::vector<key_action> actions;
    const char* typed;  // text, <BS> for a BackSpace, <R> for a reset
};

void PrintTo(const stream_case& c, std::ostream* os) { *os << c.name; }

class EvdevReader : public ::testing::TestWithParam<stream_case> {};

TEST_P(EvdevReader, TurnsRecordedStreamsIntoTheirText) {
    const stream_case& c = GetParam();
    std::string empty = te_wl_test::temp_dir();
    te_wl_input_dir = empty.c_str();
    xkb_context* ctx = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    xkb_rule_names names = {nullptr, nullptr, c.layout, nullptr, nullptr};
    xkb_keymap* keymap = xkb_keymap_new_from_names(ctx, &names, XKB_KEYMAP_COMPILE_NO_FLAGS);
    ASSERT_TRUE(keymap);
    te_key_queue queue = {};
    te_wl_evdev_reader reader;
    te_wl_evdev_reader_open(&reader, &queue, keymap);
    int fds[2];
    ASSERT_EQ(pipe2(fds, O_NONBLOCK | O_CLOEXEC), 0);
    te_wl_evdev_reader_add_stream(&reader, fds[0]);

    std::vector<input_event> recs = records(c.actions);
    const char* bytes = reinterpret_cast<const char*>(recs.data());
    size_t total = recs.size() * sizeof(input_event);
    for (size_t at = 0; at < total; at += 1000) {
        size_t n = std::min<size_t>(1000, total - at);
        ASSERT_EQ(write(fds[1], bytes + at, n), (ssize_t)n);
        te_wl_evdev_reader_drain(&reader);
    }
    EXPECT_EQ(typed_text(&queue), c.typed);
    te_wl_evdev_reader_close(&reader);
    close(fds[1]);
    xkb_context_unref(ctx);
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, EvdevReader,
    ::testing::Values(
        stream_case{"UsShiftAndPunctuation", "us",
                    join({with(KEY_LEFTSHIFT, KEY_H), tap(KEY_E), tap(KEY_L), tap(KEY_L), tap(KEY_O), tap(KEY_COMMA),
                          tap(KEY_SPACE), with(KEY_RIGHTSHIFT, KEY_W), tap(KEY_DOT), with(KEY_LEFTSHIFT, KEY_DOT)}),
                    "Hello, W.>"},
        stream_case{"GermanLettersAndAltGr", "de",
                    join({tap(KEY_Y), tap(KEY_Z), with(KEY_RIGHTALT, KEY_Q), with(KEY_LEFTSHIFT, KEY_7),
                          tap(KEY_SEMICOLON)}),
                    "zy@/ö"},
        stream_case{"GermanDeadKey", "de", join({tap(KEY_EQUAL), tap(KEY_E), tap(KEY_GRAVE), tap(KEY_A)}), "éâ"},
        stream_case{"CapsLock", "us", join({tap(KEY_CAPSLOCK), tap(KEY_A), tap(KEY_CAPSLOCK), tap(KEY_B)}), "Ab"},
        stream_case{"Rollover", "us",
                    {{KEY_B, 1}, {KEY_T, 1}, {KEY_B, 0}, {KEY_W, 1}, {KEY_T, 0}, {KEY_SPACE, 1}, {KEY_W, 0},
                     {KEY_SPACE, 0}, {KEY_LEFTSHIFT, 1}, {KEY_O, 1}, {KEY_LEFTSHIFT, 0}, {KEY_K, 1}, {KEY_O, 0},
                     {KEY_K, 0}},
                    "btw Ok"},
        stream_case{"BackSpaceAndResets", "us",
                    join({tap(KEY_A), tap(KEY_B), tap(KEY_BACKSPACE), with(KEY_LEFTCTRL, KEY_C), tap(KEY_ENTER),
                          tap(BTN_LEFT), tap(KEY_X)}),
                    "ab<BS><R><R><R>x"},
        stream_case{"AutorepeatStartsAfresh", "us",
                    {{KEY_A, 1}, {KEY_A, 2}, {KEY_A, 2}, {KEY_A, 0}, {KEY_B, 1}, {KEY_B, 0}}, "a<R>b"}),
    [](const ::testing::TestParamInfo<stream_case>& i) { return std::string(i.param.name); });

// Keyboards that are pipes, as the device calls (input_devices.h) find
// them in a folder of their own while in force: keyboard i keeps its
// number when plugged in again, and each says that `held` is down and its
// Caps Lock light is `caps` (-1: none).
struct fake_keyboard {
    int read_fd = -1, write_fd = -1;
};
fake_keyboard fakes[2];
std::string fakes_dir;
std::vector<int> held;
int caps = -1;

const te_wl_device_calls fake_calls = {
    [](int, int*) {
        std::vector<te_wl_device> out;
        for (unsigned i = 0; i < 2; i++)
            if (fakes[i].read_fd >= 0)
                out.push_back(te_wl_device{fcntl(fakes[i].read_fd, F_DUPFD_CLOEXEC, 0), TE_WL_KEYBOARD, 0xd40u + i});
        return out;
    },
    [](int) { return held; }, [](int, int led) { return led == LED_CAPSL ? caps : -1; }};

void unplug(int i) {
    if (fakes[i].read_fd >= 0) close(fakes[i].read_fd), close(fakes[i].write_fd);
    fakes[i] = fake_keyboard();
}

void plug(int i) {
    int fds[2];
    ASSERT_EQ(pipe2(fds, O_NONBLOCK | O_CLOEXEC), 0);
    fakes[i] = fake_keyboard{fds[0], fds[1]};
    static int nodes = 0;  // a new node each time, as the kernel makes one
    std::ofstream(fakes_dir + "/event" + std::to_string(i) + "." + std::to_string(++nodes));
}

void send(int i, const std::vector<input_event>& recs) {
    std::size_t bytes = recs.size() * sizeof recs[0];
    ASSERT_EQ(write(fakes[i].write_fd, recs.data(), bytes), (ssize_t)bytes);
}

class Fakes : public ::testing::Test {
protected:
    void SetUp() override {
        fakes_dir = te_wl_test::temp_dir();
        te_wl_input_dir = fakes_dir.c_str();
        te_wl_devices_swap(&fake_calls);
        held = {};
        caps = -1;
    }
    void TearDown() override {
        te_stop();
        te_wl_evdev_reader_close(&reader);
        te_wl_devices_swap(nullptr);
        unplug(0);
        unplug(1);
    }
    void read(int i, const std::vector<key_action>& keys) {
        send(i, records(keys));
        te_wl_evdev_reader_drain(&reader);
    }
    te_key_queue queue = {};
    te_wl_evdev_reader reader;
};

// Each step: records to a keyboard, then maybe it is unplugged (and plugged
// in again on its node); then the reader reads. From the start on, the
// keyboards say `held` is down and their Caps Lock light is `caps`.
enum { UNPLUG = 1, PLUG_AGAIN = 2 };
struct device_step {
    int keyboard;
    std::vector<input_event> records;
    int then;
};
struct device_case {
    const char* name;
    std::vector<device_step> steps;
    std::vector<int> held;
    int caps;
    const char* typed;
};
void PrintTo(const device_case& c, std::ostream* os) { *os << c.name; }

class EvdevReaderDevices : public Fakes, public ::testing::WithParamInterface<device_case> {};

TEST_P(EvdevReaderDevices, KeepTheKeyboardsAndTheirState) {
    const device_case& c = GetParam();
    plug(0);
    plug(1);
    xkb_context* ctx = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    ASSERT_EQ(te_wl_evdev_reader_open(&reader, &queue, xkb_keymap_new_from_names(ctx, nullptr, {})), 1);
    xkb_context_unref(ctx);
    held = c.held;
    caps = c.caps;
    for (const device_step& s : c.steps) {
        send(s.keyboard, s.records);
        if (s.then & UNPLUG) unplug(s.keyboard);
        if (s.then & PLUG_AGAIN) plug(s.keyboard);
        te_wl_evdev_reader_drain(&reader);
    }
    EXPECT_EQ(typed_text(&queue), c.typed);
}

std::vector<input_event> operator+(std::vector<input_event> a, const std::vector<input_event>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}
const std::vector<input_event> lost = {{{}, EV_SYN, SYN_DROPPED, 0}};

INSTANTIATE_TEST_SUITE_P(
    PlugsAndLostEvents, EvdevReaderDevices,
    ::testing::Values(
        device_case{"PluggedInAgainOnItsNode",
                    {{0, records(tap(KEY_A)), UNPLUG | PLUG_AGAIN}, {0, records(tap(KEY_B)), 0}}, {}, -1, "a<R>b"},
        device_case{"ShiftHeldWhileAnotherGoes",
                    {{0, records({{KEY_LEFTSHIFT, 1}}), 0}, {1, {}, UNPLUG}, {0, records(tap(KEY_D)), 0}}, {}, -1,
                    "<R>D"},
        device_case{"ShiftPressedAmongLostEvents", {{0, lost + records({{KEY_LEFTSHIFT, 1}}) + records(tap(KEY_D)), 0}},
                    {KEY_LEFTSHIFT}, -1, "<R>D"},
        device_case{"CapsLockPressedAmongLostEvents", {{0, lost + records(join({tap(KEY_CAPSLOCK), tap(KEY_B)})), 0}},
                    {}, 1, "<R>B"},
        device_case{"LostFrameEndsInTheNextRead",
                    {{0, lost, 0}, {0, records({{KEY_X, 1}, {KEY_X, 0}}) + records(tap(KEY_A)), 0}}, {}, -1, "<R>a"}),
    [](const ::testing::TestParamInfo<device_case>& i) { return std::string(i.param.name); });

// On the compositor, following the user's keymap. Another program's
// virtual keyboard types (wtype): the seat's keymap becomes its own, yet
// the physical keys are read with the user's, Caps Lock included. Keys
// that reach no window of this session (none activated: a lock screen;
// another terminal in front: a text console) are no typing, nor a hotkey's
// chord, and nothing is typed then.
TEST_F(Fakes, KeysOnTheSeat) {
    ASSERT_TRUE(std::getenv("WAYLAND_DISPLAY"));
    plug(0);
    ASSERT_EQ(te_wl_evdev_reader_open(&reader, &queue, nullptr), 1);
    read(0, tap(KEY_A));  // no window has the keyboard yet
    te_wl_test::sink foot;
    ASSERT_TRUE(foot.ready());
    read(0, join({tap(KEY_CAPSLOCK), tap(KEY_A)}));
    unsigned before = te_wl_seat_keymap_version();
    ASSERT_EQ(te_wl_test::run({"wtype", "zq"}), 0);
    {
        std::lock_guard<std::mutex> hold(te_wl_lock);
        ASSERT_TRUE(te_wl_connection_locked() && te_wl_sync(te_wl_connection_locked()));
    }
    ASSERT_NE(te_wl_seat_keymap_version(), before) << "wtype's keymap was not handed out";
    read(0, join({tap(KEY_O), tap(KEY_K)}));
    std::string console = fakes_dir + "/active";
    te_wl_console_path = console.c_str();
    setenv("XDG_VTNR", "2", 1);
    std::ofstream(console) << "tty3\n";
    held = {KEY_LEFTCTRL};
    EXPECT_EQ(key_is_down(17), 0);
    EXPECT_EQ(type_text_utf8("x", 0), -3);
    read(0, tap(KEY_B));
    unsetenv("XDG_VTNR");
    // The second reset: foot came in front.
    EXPECT_EQ(typed_text(&queue), "<R><R>AOK<R>");
}

// Keys mode starts before any keyboard is plugged in (the device folder is
// watched); hotkey mode's watch reports the keys going down or up, on a
// keyboard plugged in later too, so its worker sleeps until then.
TEST_F(Fakes, KeyWatchesBeforeAnyKeyboard) {
    setenv("APPDATA", fakes_dir.c_str(), 1);
    ASSERT_EQ(te_start("{\"mode\":\"keys\"}"), 1) << te_last_error();
    te_stop();
    ASSERT_EQ(watch_open(TE_WATCH_KEY_STATES), TE_WATCH_KEY_STATES);
    plug(0);
    EXPECT_EQ(watch_wait(200), 0);
    send(0, records({{KEY_E, 1}}));
    EXPECT_EQ(watch_wait(2000), TE_WATCH_KEY_STATES);
    watch_close();
}

}  // namespace
