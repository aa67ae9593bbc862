// Hostile arguments: never a crash, never a byte written past the buffer.
#include "clipboard_util.h"
#include "platform.h"

#include <cstring>
#include <gtest/gtest.h>
#include <string>

namespace {

// 16 guard bytes before and after a caller's buffer of `size` bytes.
struct te_guarded {
    explicit te_guarded(int size) : size(size > 0 ? size : 0), bytes((size_t)this->size + 32, '\x7E') {}
    char* out() { return &bytes[16]; }
    bool untouched_outside() const {
        for (size_t i = 0; i < 16; i++)
            if (bytes[i] != '\x7E' || bytes[bytes.size() - 1 - i] != '\x7E') return false;
        return true;
    }
    bool untouched_inside() const {
        for (int i = 0; i < size; i++)
            if (bytes[16 + (size_t)i] != '\x7E') return false;
        return true;
    }
    int size;
    std::string bytes;
};

TEST(BadInput, ChordTextsWithoutAKeyNeverFire) {
    std::string long_chord = "CTRL+" + std::string(195, 'K');
    EXPECT_EQ(200u, long_chord.size());
    EXPECT_EQ(0, hotkey_pressed_now(long_chord.c_str()));
    EXPECT_EQ(0, hotkey_pressed_now("++++++++"));
    EXPECT_EQ(0, hotkey_pressed_now("CTRL + E"));
    EXPECT_EQ(0, hotkey_pressed_now("   "));
    std::string all_plus(5000, '+');
    EXPECT_EQ(0, hotkey_pressed_now(all_plus.c_str()));
}

TEST(BadInput, TinyAndNegativeBuffersAreNeverWritten) {
    ASSERT_TRUE(te_clipboard_put_text(L"abc"));
    for (int size : {0, 1, -1, -262144}) {
        SCOPED_TRACE(size);
        te_guarded clip(1), fg(1), store(1);
        EXPECT_EQ(nullptr, get_clipboard_text_utf8(clip.out(), size));
        EXPECT_EQ(nullptr, foreground_process_name(fg.out(), size));
        EXPECT_EQ(0, default_store_path(store.out(), size));
        EXPECT_TRUE(clip.untouched_inside() && clip.untouched_outside());
        EXPECT_TRUE(fg.untouched_inside() && fg.untouched_outside());
        EXPECT_TRUE(store.untouched_inside() && store.untouched_outside());
    }
}

TEST(BadInput, NullTextIsNothingToType) {
    EXPECT_EQ(-1, type_text_utf8(nullptr, 0));
    EXPECT_EQ(-1, type_text_utf8(nullptr, 1));
}

// Four million UTF-16 units of mixed width against small and engine-sized
// buffers: null, out empty, the guards intact.
TEST(BadInput, HugeClipboardTextAgainstSmallBuffers) {
    std::wstring huge;
    for (int i = 0; i < 1000000; i++) huge += L"a\x00E9\x20AC\xD83D\xDE00";
    ASSERT_TRUE(te_clipboard_put_text(huge));
    for (int size : {2, 3, 100, 262144}) {
        SCOPED_TRACE(size);
        te_guarded buf(size);
        EXPECT_EQ(nullptr, get_clipboard_text_utf8(buf.out(), size));
        EXPECT_EQ(0, buf.out()[0]);
        EXPECT_TRUE(buf.untouched_outside());
    }
}

// A text cut mid-way through a multi-byte character or a surrogate pair is
// still delivered whole or not at all.
TEST(BadInput, ClipboardTextEndingInALoneSurrogate) {
    ASSERT_TRUE(te_clipboard_put_text(L"ab\xD83D"));
    te_guarded buf(16);
    ASSERT_NE(nullptr, get_clipboard_text_utf8(buf.out(), 16));
    EXPECT_STREQ("ab\xEF\xBF\xBD", buf.out());
    EXPECT_TRUE(buf.untouched_outside());
}

}  // namespace
