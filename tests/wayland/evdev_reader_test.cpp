// The key watch's reader fed recorded evdev streams through a pipe, as the
// kernel delivers them (scan code, key, report), cut into pieces that split
// records: what the keys type under the US and German layouts; keyboards
// plugged in, unplugged and losing events, and one typing while another
// program's virtual keyboard does (fake_keyboards.h).
#include <gtest/gtest.h>

#include "console.h"
#include "evdev_reader.h"
#include "fake_keyboards.h"
#include "input_devices.h"
#include "platform.h"
#include "seat_keymap.h"
#include "wl_connection.h"
#include "wl_harness.h"

#include <fcntl.h>
#include <fstream>
#include <unistd.h>
#include <xkbcommon/xkbcommon.h>

namespace {

using te_wl_test::join;
using te_wl_test::key_action;
using te_wl_test::records;
using te_wl_test::tap;
using te_wl_test::with;

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

// On the compositor (scripts/test-wayland.sh): the reader following the
// user's keymap, fed by a pipe keyboard.
class EvdevReaderOnTheSeat : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(std::getenv("WAYLAND_DISPLAY"));
        keyboards.plug(keyboard);
        ASSERT_EQ(te_wl_evdev_reader_open(&reader, &queue, nullptr), 1);
    }
    void TearDown() override { te_wl_evdev_reader_close(&reader); }
    void type(const std::vector<key_action>& keys) {
        ASSERT_TRUE(keyboards.send(keyboard, records(keys)));
        te_wl_evdev_reader_drain(&reader);
    }

    te_wl_test::fake_keyboards keyboards;
    te_wl_test::fake_keyboard& keyboard = keyboards.add();
    te_key_queue queue = {};
    te_wl_evdev_reader reader;
};

// Another program's virtual keyboard types (wtype) and the seat's keymap
// becomes its own, yet the physical keys are still read with the user's
// keymap, Caps Lock included.
TEST_F(EvdevReaderOnTheSeat, PhysicalKeysKeepTheUserKeymap) {
    te_wl_test::sink foot;
    ASSERT_TRUE(foot.ready());
    type(join({tap(KEY_CAPSLOCK), tap(KEY_A)}));
    unsigned before = te_wl_seat_keymap_version();
    ASSERT_EQ(te_wl_test::run({"wtype", "zq"}), 0);
    {
        std::lock_guard<std::mutex> hold(te_wl_lock);
        te_wl* c = te_wl_connection_locked();
        ASSERT_TRUE(c && te_wl_sync(c));
    }
    EXPECT_NE(te_wl_seat_keymap_version(), before) << "wtype's keymap was not handed out";
    type(join({tap(KEY_H), tap(KEY_E), tap(KEY_L), tap(KEY_L), tap(KEY_O)}));
    EXPECT_EQ(typed_text(&queue), "<R>AHELLO");  // foot came in front after the reader opened
}

// Resets in a row count as one.
std::string squeezed(std::string text) {
    for (std::size_t at; (at = text.find("<R><R>")) != std::string::npos;) text.erase(at, 3);
    return text;
}

// Keys that reach no window of this session are no typing, nor a hotkey's
// chord: while no window is activated (a lock screen or a launcher has the
// keyboard), or while another terminal is in front (a text console);
// nothing is typed then.
TEST_F(EvdevReaderOnTheSeat, KeysForNoWindowOfTheSessionAreNoTyping) {
    std::string console = te_wl_test::temp_dir() + "/active";
    te_wl_console_path = console.c_str();
    setenv("XDG_VTNR", "2", 1);
    std::ofstream(console) << "tty2\n";
    type(tap(KEY_A));
    {
        te_wl_test::sink foot;
        ASSERT_TRUE(foot.ready());
        keyboards.hold(keyboard, {KEY_LEFTCTRL});
        EXPECT_EQ(key_is_down(17), 1);
        std::ofstream(console) << "tty3\n";
        type(tap(KEY_B));
        EXPECT_EQ(type_text_utf8("x", 0), -3);
        EXPECT_EQ(key_is_down(17), 0);
        keyboards.hold(keyboard, {});
        std::ofstream(console) << "tty2\n";
        type(tap(KEY_C));
        EXPECT_EQ(foot.received(), "");
    }
    EXPECT_EQ(squeezed(typed_text(&queue)), "<R>c");
    unsetenv("XDG_VTNR");
}

input_event syn(int code) {
    input_event e = {};
    e.type = EV_SYN;
    e.code = (unsigned short)code;
    return e;
}

std::vector<input_event> operator+(std::vector<input_event> a, const std::vector<input_event>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

enum { UNPLUG = 1, PLUG_AGAIN = 2 };

// What reaches one keyboard (or what happens to it) before the reader reads.
struct device_step {
    int keyboard;
    std::vector<input_event> records;
    int then = 0;  // UNPLUG, or UNPLUG | PLUG_AGAIN on the same node
};

struct device_case {
    const char* name;
    std::vector<device_step> steps;
    std::vector<int> held;  // what keyboard 0 says is down when asked
    int caps_light;         // and its Caps Lock light
    const char* typed;
};

void PrintTo(const device_case& c, std::ostream* os) { *os << c.name; }

class EvdevReaderDevices : public ::testing::TestWithParam<device_case> {
protected:
    void SetUp() override {
        ctx = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
        xkb_rule_names names = {nullptr, nullptr, "us", nullptr, nullptr};
        keymap = xkb_keymap_new_from_names(ctx, &names, XKB_KEYMAP_COMPILE_NO_FLAGS);
    }
    void TearDown() override {
        te_wl_evdev_reader_close(&reader);
        xkb_context_unref(ctx);
    }

    te_wl_test::fake_keyboards keyboards;
    xkb_context* ctx = nullptr;
    xkb_keymap* keymap = nullptr;
    te_key_queue queue = {};
    te_wl_evdev_reader reader;
};

TEST_P(EvdevReaderDevices, KeepTheKeyboardsAndTheirState) {
    const device_case& c = GetParam();
    std::vector<te_wl_test::fake_keyboard*> plugged;
    for (const device_step& s : c.steps)
        while ((int)plugged.size() <= s.keyboard) {
            plugged.push_back(&keyboards.add());
            keyboards.plug(*plugged.back());
        }
    keyboards.hold(*plugged[0], c.held);
    plugged[0]->caps_light = c.caps_light;
    ASSERT_EQ(te_wl_evdev_reader_open(&reader, &queue, keymap), 1);
    for (const device_step& s : c.steps) {
        te_wl_test::fake_keyboard& k = *plugged[(std::size_t)s.keyboard];
        ASSERT_TRUE(keyboards.send(k, s.records));
        if (s.then & UNPLUG) keyboards.unplug(k);
        if (s.then & PLUG_AGAIN) keyboards.plug(k);
        te_wl_evdev_reader_drain(&reader);
    }
    EXPECT_EQ(typed_text(&queue), c.typed);
}

const std::vector<input_event> none;

INSTANTIATE_TEST_SUITE_P(
    PlugsAndLostEvents, EvdevReaderDevices,
    ::testing::Values(
        device_case{"PluggedAgainOnTheSameNode",
                    {{0, records(tap(KEY_A)), UNPLUG | PLUG_AGAIN}, {0, records(tap(KEY_B))}}, {}, -1, "a<R>b"},
        device_case{"ShiftHeldWhileAnotherKeyboardGoes",
                    {{0, records({{KEY_LEFTSHIFT, 1}})}, {1, none, UNPLUG}, {0, records(tap(KEY_D))}}, {}, -1, "<R>D"},
        device_case{"CapsLockWhileAnotherKeyboardGoes",
                    {{0, records(tap(KEY_CAPSLOCK))}, {1, none, UNPLUG}, {0, records(tap(KEY_B))}}, {}, -1, "<R>B"},
        device_case{"CapsLockAfterLostEvents",
                    {{0, records(tap(KEY_CAPSLOCK)) + std::vector<input_event>{syn(SYN_DROPPED)} + records(tap(KEY_X))},
                     {0, records(tap(KEY_B))}},
                    {}, 1, "<R>B"},
        device_case{"ShiftHeldAcrossLostEvents",
                    {{0, records({{KEY_LEFTSHIFT, 1}}) + std::vector<input_event>{syn(SYN_DROPPED), syn(SYN_REPORT)}},
                     {0, records(tap(KEY_D))}},
                    {KEY_LEFTSHIFT}, -1, "<R>D"},
        device_case{"ShiftLetGoDuringLostEvents",
                    {{0, records({{KEY_LEFTSHIFT, 1}}) + std::vector<input_event>{syn(SYN_DROPPED), syn(SYN_REPORT)}},
                     {0, records(tap(KEY_D))}},
                    {}, -1, "<R>d"},
        device_case{"LostFrameEndsInTheNextRead",
                    {{0, {syn(SYN_DROPPED)}}, {0, records({{KEY_X, 1}, {KEY_X, 0}}) + records(tap(KEY_A))}}, {}, -1,
                    "<R>a"}),
    [](const ::testing::TestParamInfo<device_case>& i) { return std::string(i.param.name); });

}  // namespace
