#include "text_convert.h"

#include <cerrno>
#include <climits>
#include <cwchar>

int te_wide_to_utf8(const wchar_t* text, char* out, int size) {
    size_t units = wcslen(text);
    return units <= (size_t)INT_MAX ? te_wide_n_to_utf8(text, (int)units, out, size) : 0;
}

int te_wide_n_to_utf8(const wchar_t* text, int units, char* out, int size) {
    int need = 0;
    if (units > 0) {
        need = WideCharToMultiByte(CP_UTF8, 0, text, units, nullptr, 0, nullptr, nullptr);
        if (need <= 0) return 0;
    }
    if (need >= size) return 0;  // no room for the NUL
    if (units > 0) WideCharToMultiByte(CP_UTF8, 0, text, units, out, size, nullptr, nullptr);
    out[need] = 0;
    return 1;
}

int te_unicode_block_to_utf8(HANDLE block, char* out, int size) {
    const wchar_t* text = static_cast<const wchar_t*>(GlobalLock(block));
    if (!text) return 0;
    size_t units = wcsnlen(text, GlobalSize(block) / sizeof(wchar_t));
    int whole = units <= (size_t)INT_MAX && te_wide_n_to_utf8(text, (int)units, out, size);
    GlobalUnlock(block);
    return whole;
}

int te_utf8_to_wide(const char* text, std::wstring& out) {
    int units = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, -1, nullptr, 0);
    std::wstring wide(units > 0 ? (size_t)units : 0, L'\0');
    if (units <= 0 || MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, -1, &wide[0], units) <= 0) {
        errno = EILSEQ;
        return 0;
    }
    wide.resize((size_t)units - 1);  // drop the NUL the conversion wrote
    out.swap(wide);
    return 1;
}
