#include "clipboard_util.h"

#include <cstring>
#include <windows.h>

namespace {

// Another program (Wine's clipboard manager) can hold the clipboard for a
// moment, so opening is retried briefly.
bool te_open_and_empty(void) {
    for (int i = 0; i < 200; i++) {
        if (OpenClipboard(nullptr)) return EmptyClipboard() != 0;
        Sleep(10);
    }
    return false;
}

}  // namespace

bool te_clipboard_put_text(const std::wstring& text) {
    size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (!mem) return false;
    std::memcpy(GlobalLock(mem), text.c_str(), bytes);
    GlobalUnlock(mem);
    if (!te_open_and_empty()) {
        GlobalFree(mem);
        return false;
    }
    bool ok = SetClipboardData(CF_UNICODETEXT, mem) != nullptr;
    if (!ok) GlobalFree(mem);
    CloseClipboard();
    return ok;
}

bool te_clipboard_put_bitmap_only(void) {
    HBITMAP bitmap = CreateBitmap(4, 4, 1, 32, nullptr);
    if (!bitmap) return false;
    if (!te_open_and_empty()) {
        DeleteObject(bitmap);
        return false;
    }
    bool ok = SetClipboardData(CF_BITMAP, bitmap) != nullptr;
    CloseClipboard();
    return ok;
}

bool te_clipboard_put_nothing(void) {
    if (!te_open_and_empty()) return false;
    CloseClipboard();
    return true;
}
