// Reading the clipboard's Unicode text as UTF-8.
#include "platform.h"
#include "text_convert.h"
#include "win32_desktop.h"

#include <windows.h>

namespace {

// Converts the clipboard's CF_UNICODETEXT data into out; the clipboard is
// already open and stays open.
char* te_convert_clipboard_data(char* out, int size) {
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    if (!data) return nullptr;
    return te_unicode_block_to_utf8(data, out, size) ? out : nullptr;
}

}  // namespace

char* te_win32_get_clipboard_text_utf8(char* out, int size) {
    if (size <= 1) return nullptr;
    out[0] = 0;
    if (!IsClipboardFormatAvailable(CF_UNICODETEXT)) return nullptr;
    if (!OpenClipboard(nullptr)) return nullptr;
    char* result = te_convert_clipboard_data(out, size);
    CloseClipboard();
    return result;
}

// The system counts every change of the clipboard's content.
std::uint32_t te_win32_clipboard_sequence(void) { return GetClipboardSequenceNumber(); }
