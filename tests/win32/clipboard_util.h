// Putting test contents on the real clipboard.
#ifndef TE_WIN32_TEST_CLIPBOARD_UTIL_H
#define TE_WIN32_TEST_CLIPBOARD_UTIL_H

#include <string>

// Each replaces the whole clipboard; false when the clipboard could not be
// written.
bool te_clipboard_put_text(const std::wstring& text);
bool te_clipboard_put_bitmap_only(void);
bool te_clipboard_put_nothing(void);

#endif
