// Reading the real clipboard under the system's own clipboard rules.
#include "clipboard_util.h"
#include "edit_window.h"
#include "platform.h"
#include "text_convert.h"

#include <gtest/gtest.h>
#include <string>
#include <cstring>

namespace {

const int TE_CALLER_BUFFER = 262144;  // what the engine's callers pass

// A caller's buffer of `size` bytes followed by guard bytes that must
// never change.
struct te_guarded_buffer {
    explicit te_guarded_buffer(int size) : size(size), bytes((size_t)size + 64, '\x5A') {}
    char* data() { return &bytes[0]; }
    bool guard_intact() const {
        for (size_t i = (size_t)size; i < bytes.size(); i++)
            if (bytes[i] != '\x5A') return false;
        return true;
    }
    int size;
    std::string bytes;
};

TEST(Clipboard, TextArrivesAsUtf8) {
    ASSERT_TRUE(te_clipboard_put_text(L"hello >>addr"));
    char out[64];
    EXPECT_EQ(out, get_clipboard_text_utf8(out, sizeof out));
    EXPECT_STREQ("hello >>addr", out);
}

TEST(Clipboard, NonAsciiCharacterArrivesAsItsUtf8Bytes) {
    ASSERT_TRUE(te_clipboard_put_text(L"\x00E9"));
    char out[16];
    ASSERT_NE(nullptr, get_clipboard_text_utf8(out, sizeof out));
    EXPECT_EQ(2u, std::strlen(out));
    EXPECT_EQ(195, (unsigned char)out[0]);
    EXPECT_EQ(169, (unsigned char)out[1]);
}

TEST(Clipboard, EmptyTextIsAnEmptyResultNotNull) {
    ASSERT_TRUE(te_clipboard_put_text(L""));
    char out[16] = "stale";
    EXPECT_EQ(out, get_clipboard_text_utf8(out, sizeof out));
    EXPECT_STREQ("", out);
}

TEST(Clipboard, BitmapOnlyGivesNullAndEmptyOut) {
    ASSERT_TRUE(te_clipboard_put_bitmap_only());
    char out[16] = "stale";
    EXPECT_EQ(nullptr, get_clipboard_text_utf8(out, sizeof out));
    EXPECT_STREQ("", out);
}

TEST(Clipboard, NothingGivesNullAndEmptyOut) {
    ASSERT_TRUE(te_clipboard_put_nothing());
    char out[16] = "stale";
    EXPECT_EQ(nullptr, get_clipboard_text_utf8(out, sizeof out));
    EXPECT_STREQ("", out);
}

// 262143 bytes and the NUL fill the engine's buffer exactly; one byte more
// does not fit and nothing of it is delivered.
TEST(Clipboard, TextFillingTheBufferExactlyIsDelivered) {
    ASSERT_TRUE(te_clipboard_put_text(std::wstring(TE_CALLER_BUFFER - 1, L'x')));
    te_guarded_buffer buf(TE_CALLER_BUFFER);
    ASSERT_EQ(buf.data(), get_clipboard_text_utf8(buf.data(), buf.size));
    EXPECT_EQ((size_t)TE_CALLER_BUFFER - 1, std::strlen(buf.data()));
    EXPECT_TRUE(buf.guard_intact());
}

TEST(Clipboard, TextOneByteTooLongIsNotDeliveredAtAll) {
    ASSERT_TRUE(te_clipboard_put_text(std::wstring(TE_CALLER_BUFFER, L'x')));
    te_guarded_buffer buf(TE_CALLER_BUFFER);
    EXPECT_EQ(nullptr, get_clipboard_text_utf8(buf.data(), buf.size));
    EXPECT_STREQ("", buf.data());
    EXPECT_TRUE(buf.guard_intact());
}

// The size counts UTF-8 bytes, not characters: 131071 copies of é are
// 262142 bytes and fit; one more does not.
TEST(Clipboard, SizeIsCountedInUtf8Bytes) {
    te_guarded_buffer buf(TE_CALLER_BUFFER);
    ASSERT_TRUE(te_clipboard_put_text(std::wstring(TE_CALLER_BUFFER / 2 - 1, L'\x00E9')));
    EXPECT_NE(nullptr, get_clipboard_text_utf8(buf.data(), buf.size));
    ASSERT_TRUE(te_clipboard_put_text(std::wstring(TE_CALLER_BUFFER / 2, L'\x00E9')));
    EXPECT_EQ(nullptr, get_clipboard_text_utf8(buf.data(), buf.size));
    EXPECT_TRUE(buf.guard_intact());
}

// Another program's CF_UNICODETEXT block may lack its closing NUL (Wine's
// clipboard adds one, so the block is read here directly). A block shrunk
// in place from a longer text is followed by more of that text, which a
// read past its end would take in.
TEST(Clipboard, BlockWithoutNulIsReadAsItsUnitsOnly) {
    const size_t units = 61;
    std::wstring longer = std::wstring(units, L'x') + std::wstring(3 * units, L'y');
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, (longer.size() + 1) * sizeof(wchar_t));
    ASSERT_NE(nullptr, block);
    std::memcpy(GlobalLock(block), longer.c_str(), (longer.size() + 1) * sizeof(wchar_t));
    GlobalUnlock(block);
    block = GlobalReAlloc(block, units * sizeof(wchar_t), 0);
    ASSERT_EQ(units * sizeof(wchar_t), GlobalSize(block));
    char out[1024];
    EXPECT_EQ(1, te_unicode_block_to_utf8(block, out, sizeof out));
    EXPECT_EQ(std::string(units, 'x'), out);
    GlobalFree(block);
}

// Every copy moves the sequence on, even of the same text; reading does not.
TEST(Clipboard, SequenceChangesWithEachCopyOnly) {
    ASSERT_TRUE(te_clipboard_put_text(L"one"));
    std::uint32_t first = clipboard_sequence();
    char out[16];
    get_clipboard_text_utf8(out, sizeof out);
    EXPECT_EQ(first, clipboard_sequence());
    ASSERT_TRUE(te_clipboard_put_text(L"one"));
    std::uint32_t second = clipboard_sequence();
    EXPECT_NE(first, second);
    EXPECT_NE(0u, second);
}

TEST(Clipboard, SizeZeroOrOneLeavesOutUntouched) {
    ASSERT_TRUE(te_clipboard_put_text(L"abc"));
    char out[4] = {'k', 'e', 'e', 'p'};
    EXPECT_EQ(nullptr, get_clipboard_text_utf8(out, 0));
    EXPECT_EQ(nullptr, get_clipboard_text_utf8(out, 1));
    EXPECT_EQ(0, std::memcmp(out, "keep", 4));
}

// The read leaves the clipboard closed: this process can open it again
// at once, and the text is still there.
TEST(Clipboard, ReadLeavesClipboardClosedAndUnchanged) {
    ASSERT_TRUE(te_clipboard_put_text(L"kept"));
    char out[16];
    ASSERT_NE(nullptr, get_clipboard_text_utf8(out, sizeof out));
    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_UNICODETEXT));
    CloseClipboard();
    ASSERT_EQ(nullptr, get_clipboard_text_utf8(out, 3));  // too long: still closed after
    ASSERT_TRUE(OpenClipboard(nullptr));
    CloseClipboard();
    EXPECT_NE(nullptr, get_clipboard_text_utf8(out, sizeof out));
    EXPECT_STREQ("kept", out);
}

struct te_read_args {
    char out[16];
    char* result;
};

DWORD WINAPI te_read_clipboard_thread(LPVOID p) {
    te_read_args* args = static_cast<te_read_args*>(p);
    args->result = get_clipboard_text_utf8(args->out, sizeof args->out);
    return 0;
}

// While another thread holds the clipboard open the read is simply no text.
TEST(Clipboard, HeldOpenElsewhereReadsAsNoText) {
    ASSERT_TRUE(te_clipboard_put_text(L"busy"));
    te_edit_window owner;
    ASSERT_TRUE(OpenClipboard(owner.top()));
    te_read_args args = {"x", reinterpret_cast<char*>(1)};
    HANDLE t = CreateThread(nullptr, 0, te_read_clipboard_thread, &args, 0, nullptr);
    WaitForSingleObject(t, INFINITE);
    CloseHandle(t);
    CloseClipboard();
    EXPECT_EQ(nullptr, args.result);
    EXPECT_STREQ("", args.out);
}

}  // namespace
