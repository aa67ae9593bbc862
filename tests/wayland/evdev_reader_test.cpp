// The key watch's reader fed recorded evdev streams through a pipe, as the
// kernel delivers them (scan code, key, report), cut into pieces that split
// records: what the keys type under the US and German layouts.
#include <gtest/gtest.h>

#include "evdev_reader.h"
#include "input_devices.h"
#include "wl_harness.h"

#include <fcntl.h>
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
    std::string typed;
    te_key_event ev;
    while (te_key_queue_pop(&queue, &ev))
        typed += ev.kind == TE_KEY_TEXT ? std::string(ev.text) : ev.kind == TE_KEY_BACKSPACE ? "<BS>" : "<R>";
    EXPECT_EQ(typed, c.typed);
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

}  // namespace
