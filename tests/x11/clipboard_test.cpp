// Reading the clipboard that another program owns: xclip for the ordinary
// case, the test owner for INCR transfers, STRING-only owners and owners
// that never answer.
// gtest first: Xlib defines None as a macro, which gtest uses as a name.
#include <gtest/gtest.h>

#include "platform.h"
#include "x11_harness.h"

#include <unistd.h>

using te_test::child;

namespace {

const int TE_BUFFER = 262144;

class Clipboard : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(te_test::display()) << "no X server at DISPLAY";
        te_test::clear_clipboard();
        buf.assign(TE_BUFFER, 'x');
    }

    // xclip serving `text` as the clipboard until the test ends.
    std::unique_ptr<child> xclip(const std::string& text) {
        std::string path = te_test::temp_file(text);
        Window previous = te_test::clipboard_owner();
        auto c = std::make_unique<child>(std::vector<std::string>{"xclip", "-quiet", "-selection", "clipboard",
                                                                  "-i", path});
        EXPECT_TRUE(te_test::wait_clipboard_owner(previous));
        return c;
    }

    std::unique_ptr<child> owner(const std::vector<std::string>& args) {
        std::vector<std::string> argv = {TE_CLIP_OWNER_PATH};
        argv.insert(argv.end(), args.begin(), args.end());
        auto c = std::make_unique<child>(argv, true);
        EXPECT_EQ(c->read_line(5000), "ready");
        return c;
    }

    char* read() { return get_clipboard_text_utf8(buf.data(), TE_BUFFER); }

    std::string buf;
};

TEST_F(Clipboard, TextFromXclipArrivesAsUtf8) {
    auto c = xclip("Dear team, caf\xC3\xA9 \xE4\xBD\xA0\xE5\xA5\xBD >>addr");
    ASSERT_EQ(read(), buf.data());
    EXPECT_STREQ(buf.data(), "Dear team, caf\xC3\xA9 \xE4\xBD\xA0\xE5\xA5\xBD >>addr");
}

TEST_F(Clipboard, EmptyTextIsDeliveredEmpty) {
    auto c = xclip("");
    EXPECT_EQ(read(), buf.data());
    EXPECT_EQ(buf[0], 0);
}

TEST_F(Clipboard, TextMustFitWithItsNul) {
    auto fits = xclip(std::string(TE_BUFFER - 1, 'a'));
    ASSERT_EQ(read(), buf.data());
    EXPECT_EQ(std::string(buf.data()).size(), (size_t)TE_BUFFER - 1);
    fits.reset();
    auto too_long = xclip(std::string(TE_BUFFER, 'a'));
    EXPECT_EQ(read(), nullptr);
    EXPECT_EQ(buf[0], 0);
}

TEST_F(Clipboard, IncrementalTransferMustFitWithItsNul) {
    std::string text = te_test::mixed_text(200000);
    text.resize(TE_BUFFER - 1, 'z');
    auto fits = owner({"incr", te_test::temp_file(text), "65000"});
    ASSERT_EQ(read(), buf.data());
    EXPECT_TRUE(text == buf.data());
    fits.reset();
    auto too_long = owner({"incr", te_test::temp_file(text + "z"), "65000"});
    EXPECT_EQ(read(), nullptr);
    EXPECT_EQ(buf[0], 0);
    // The owner was served to the end, so it answers the next read at once.
    long long start = te_test::millis();
    EXPECT_EQ(read(), nullptr);
    EXPECT_LT(te_test::millis() - start, 500);
}

TEST_F(Clipboard, StringOnlyOwnerIsReadAsLatin1) {
    auto c = owner({"latin1", te_test::temp_file("caf\xE9")});
    ASSERT_EQ(read(), buf.data());
    EXPECT_STREQ(buf.data(), "caf\xC3\xA9");
}

TEST_F(Clipboard, NoOwnerAndSilentOwnerGiveNothing) {
    EXPECT_EQ(read(), nullptr);
    EXPECT_EQ(buf[0], 0);
    auto c = owner({"silent"});
    buf[0] = 'x';
    long long start = te_test::millis();
    EXPECT_EQ(read(), nullptr);
    EXPECT_LT(te_test::millis() - start, 1500);
    EXPECT_EQ(buf[0], 0);
}

// The sequence number once it differs from `old`, waiting a bounded time
// for the server's notice; `old` when it never did.
std::uint32_t sequence_after(std::uint32_t old) {
    long long end = te_test::millis() + 1000;
    std::uint32_t now = clipboard_sequence();
    while (now == old && te_test::millis() < end) now = clipboard_sequence();
    return now;
}

TEST_F(Clipboard, SequenceMovesWithEachCopyOnly) {
    std::uint32_t empty = clipboard_sequence();
    EXPECT_NE(empty, 0u);
    EXPECT_EQ(clipboard_sequence(), empty);
    auto first = xclip("one");
    std::uint32_t one = sequence_after(empty);
    EXPECT_NE(one, empty);
    ASSERT_EQ(read(), buf.data());
    usleep(50000);
    EXPECT_EQ(clipboard_sequence(), one) << "reading is no change";
    auto second = xclip("two");
    EXPECT_NE(sequence_after(one), one);
}

TEST_F(Clipboard, TinyBufferIsLeftUntouched) {
    auto c = xclip("abc");
    EXPECT_EQ(get_clipboard_text_utf8(buf.data(), 1), nullptr);
    EXPECT_EQ(get_clipboard_text_utf8(buf.data(), 0), nullptr);
    EXPECT_EQ(buf[0], 'x');
    EXPECT_EQ(get_clipboard_text_utf8(buf.data(), 4), buf.data());
    EXPECT_STREQ(buf.data(), "abc");
    EXPECT_EQ(get_clipboard_text_utf8(buf.data(), 3), nullptr);
}

}  // namespace
