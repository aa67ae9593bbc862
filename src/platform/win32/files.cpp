// File access on Windows: UTF-8 paths are converted to UTF-16 and handed to
// the wide-character APIs, so any path the user's folder can hold works.
#include "platform.h"
#include "text_convert.h"

#include <cstring>
#include <direct.h>
#include <io.h>
#include <string>
#include <windows.h>

namespace {

FILE* te_open_wide(const char* path, const wchar_t* mode) {
    std::wstring wide;
    if (!path || !te_utf8_to_wide(path, wide)) return nullptr;
    return _wfopen(wide.c_str(), mode);
}

bool te_is_separator(wchar_t c) { return c == L'\\' || c == L'/'; }

// The value of a wide environment variable; empty when unset.
std::wstring te_environment(const wchar_t* name) {
    DWORD units = GetEnvironmentVariableW(name, nullptr, 0);
    if (units == 0) return std::wstring();
    std::wstring value(units, L'\0');
    DWORD got = GetEnvironmentVariableW(name, &value[0], units);
    if (got == 0 || got >= units) return std::wstring();
    value.resize(got);
    return value;
}

}  // namespace

FILE* file_open_read(const char* path) { return te_open_wide(path, L"rb"); }

FILE* file_open_write(const char* path) { return te_open_wide(path, L"wb"); }

// _commit asks the system to write the file's data through to the disk, so
// the replace that follows never exposes a file whose contents are missing.
int file_commit_close(FILE* f) {
    int failed = std::fflush(f) != 0;
    if (!failed && _commit(_fileno(f)) != 0) failed = 1;
    if (std::fclose(f) != 0) failed = 1;
    return failed ? -1 : 0;
}

int file_replace(const char* from, const char* to) {
    std::wstring wfrom, wto;
    if (!te_utf8_to_wide(from, wfrom) || !te_utf8_to_wide(to, wto)) return -1;
    DWORD flags = MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;
    return MoveFileExW(wfrom.c_str(), wto.c_str(), flags) ? 0 : -1;
}

int file_remove(const char* path) {
    std::wstring wide;
    if (!te_utf8_to_wide(path, wide)) return -1;
    return _wremove(wide.c_str()) == 0 ? 0 : -1;
}

// Both '\' and '/' separate: paths typed by users and built by programs mix
// them. Existing directories and drive prefixes ("C:") fail harmlessly.
void file_make_parent_dirs(const char* path) {
    std::wstring wide;
    if (!te_utf8_to_wide(path, wide)) return;
    for (size_t i = 1; i < wide.size(); i++) {
        if (!te_is_separator(wide[i])) continue;
        wchar_t sep = wide[i];
        wide[i] = L'\0';
        _wmkdir(wide.c_str());
        wide[i] = sep;
    }
}

int default_store_path(char* out, int size) {
    std::wstring path = te_environment(L"APPDATA");
    if (path.empty()) return 0;
    path += L"\\Wrenfold\\snippets.json";
    return te_wide_to_utf8(path.c_str(), out, size);
}
