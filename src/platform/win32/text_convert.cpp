#include "text_convert.h"

#include <windows.h>

int te_wide_to_utf8(const wchar_t* text, char* out, int size) {
    int need = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (need <= 0 || need > size) return 0;
    WideCharToMultiByte(CP_UTF8, 0, text, -1, out, size, nullptr, nullptr);
    return 1;
}

int te_utf8_to_wide(const char* text, std::wstring& out) {
    int units = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
    if (units <= 0) return 0;
    out.assign((size_t)units, L'\0');
    if (MultiByteToWideChar(CP_UTF8, 0, text, -1, &out[0], units) <= 0) return 0;
    out.resize((size_t)units - 1);  // drop the NUL the conversion wrote
    return 1;
}
