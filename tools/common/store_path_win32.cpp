// The default store path on Windows: %APPDATA%\Wrenfold\snippets.json, in
// UTF-8 whatever the ANSI code page.
#include "store_path.h"

#include <windows.h>

#include <cstdlib>

std::string te_default_store_path() {
    const wchar_t* app = _wgetenv(L"APPDATA");
    if (!app || !app[0]) return "snippets.json";
    std::wstring wide = std::wstring(app) + L"\\Wrenfold\\snippets.json";
    int n = WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (n <= 0) return "snippets.json";
    std::string out((std::size_t)n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, &out[0], n, nullptr, nullptr);
    out.resize((std::size_t)n - 1);
    return out;
}
