// Files of the user alone on Windows: they live in the user's profile,
// whose access list already keeps other users out.
#include "private_file.h"

#include <cstdio>
#include <windows.h>

#include "text_convert.h"

bool te_write_private(const std::string& path, const std::string& text, std::string* error) {
    std::wstring wide;
    FILE* f = te_utf8_to_wide(path.c_str(), wide) ? _wfopen(wide.c_str(), L"wb") : nullptr;
    bool ok = f && std::fwrite(text.data(), 1, text.size(), f) == text.size();
    if (f && std::fclose(f) != 0) ok = false;
    if (!ok && error) *error = path + ": cannot write";
    return ok;
}
