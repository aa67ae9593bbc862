// Files of the user alone on Windows: they live in the user's profile,
// whose access list already keeps other users out.
#include "private_file.h"

#include <windows.h>

#include <cstdio>

namespace {

std::wstring te_wide(const std::string& s) {
    int n = MultiByteToWideChar(CP_UTF8, 0, s.c_str(), -1, nullptr, 0);
    std::wstring out(n > 0 ? (std::size_t)n : 1, L'\0');
    if (n > 0) MultiByteToWideChar(CP_UTF8, 0, s.c_str(), -1, &out[0], n);
    out.resize(out.size() - 1);
    return out;
}

}  // namespace

bool te_write_private(const std::string& path, const std::string& text, std::string* error) {
    FILE* f = _wfopen(te_wide(path).c_str(), L"wb");
    bool ok = f && std::fwrite(text.data(), 1, text.size(), f) == text.size();
    if (f && std::fclose(f) != 0) ok = false;
    if (!ok && error) *error = path + ": cannot write";
    return ok;
}
