// File access on Windows: UTF-8 paths are converted to UTF-16 and handed to
// the wide-character APIs, so any path the user's folder can hold works.
#include "file_lock.h"
#include "files_seam.h"
#include "text_convert.h"

#include <atomic>
#include <cstring>
#include <direct.h>
#include <fcntl.h>
#include <io.h>
#include <string>
#include <windows.h>

namespace {

const te_file_stamp te_no_file = {};
const DWORD te_share_all = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

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

std::uint64_t te_join(DWORD high, DWORD low) { return ((std::uint64_t)high << 32) | low; }

int te_stamp_of_handle(HANDLE h, te_file_stamp* out) {
    *out = te_no_file;
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(h, &info)) return -1;
    if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return 0;
    std::uint64_t written = te_join(info.ftLastWriteTime.dwHighDateTime, info.ftLastWriteTime.dwLowDateTime);
    out->exists = 1;
    out->volume = info.dwVolumeSerialNumber;
    out->index = te_join(info.nFileIndexHigh, info.nFileIndexLow);
    out->size = (std::int64_t)te_join(info.nFileSizeHigh, info.nFileSizeLow);
    out->mtime_sec = (std::int64_t)(written / 10000000);  // 100 ns units
    out->mtime_nsec = (std::int64_t)(written % 10000000) * 100;
    return 0;
}

// A stdio stream that owns the handle from here on; null (and the handle
// closed) when none can be made.
FILE* te_stream_of(HANDLE h, int flags, const char* mode) {
    int fd = _open_osfhandle((intptr_t)h, flags);
    if (fd < 0) {
        CloseHandle(h);
        return nullptr;
    }
    FILE* f = _fdopen(fd, mode);
    if (!f) _close(fd);
    return f;
}

// Readers let others delete: another process may replace the store while
// this one reads it, and the read goes on with the file it opened.
FILE* te_open_read(const char* path, te_open_status* status, te_file_stamp* stamp) {
    if (stamp) *stamp = te_no_file;
    *status = TE_OPEN_FAILED;
    std::wstring wide;
    if (!path || !te_utf8_to_wide(path, wide)) return nullptr;
    HANDLE h = CreateFileW(wide.c_str(), GENERIC_READ, te_share_all, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        DWORD attributes = GetFileAttributesW(wide.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
            error = ERROR_FILE_NOT_FOUND;  // a folder holds nothing to read
        *status = te_open_status_of((int)error);
        return nullptr;
    }
    te_file_stamp opened;
    if (te_stamp_of_handle(h, &opened) != 0) {
        CloseHandle(h);
        return nullptr;
    }
    FILE* f = te_stream_of(h, _O_RDONLY | _O_BINARY, "rb");
    if (!f) return nullptr;
    if (stamp) *stamp = opened;
    *status = TE_OPEN_OK;
    return f;
}

// Names carry the process id and a count; CREATE_NEW makes sure no
// existing file is ever taken. The file inherits the folder's permissions,
// which under the user's application-data folder are the user's alone.
std::atomic<unsigned> te_temp_count{0};

FILE* te_create_temp(const char* target, char* name, int size) {
    for (int tries = 0; tries < 100; tries++) {
        unsigned n = ++te_temp_count;
        int len = std::snprintf(name, (size_t)size, "%s.%lu-%u.tmp", target, (unsigned long)GetCurrentProcessId(), n);
        std::wstring wide;
        if (len < 0 || len >= size || !te_utf8_to_wide(name, wide)) return nullptr;
        HANDLE h = CreateFileW(wide.c_str(), GENERIC_WRITE | FILE_READ_ATTRIBUTES, 0, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE && GetLastError() == ERROR_FILE_EXISTS) continue;
        if (h == INVALID_HANDLE_VALUE) return nullptr;
        FILE* f = te_stream_of(h, _O_WRONLY | _O_BINARY, "wb");
        if (!f) DeleteFileW(wide.c_str());
        return f;
    }
    return nullptr;
}

// _commit asks the system to write the file's data through to the disk, so
// the replace that follows never exposes a file whose contents are missing.
// NTFS may set the last-write time again when the handle closes; a time set
// through the handle is kept, so the stamp taken here is the one on disk.
int te_commit_close(FILE* f, te_file_stamp* stamp) {
    HANDLE h = (HANDLE)_get_osfhandle(_fileno(f));
    int failed = std::fflush(f) != 0;
    if (!failed && _commit(_fileno(f)) != 0) failed = 1;
    if (!failed && stamp) {
        FILETIME now;
        GetSystemTimeAsFileTime(&now);
        SetFileTime(h, nullptr, nullptr, &now);
        if (te_stamp_of_handle(h, stamp) != 0) failed = 1;
    }
    if (std::fclose(f) != 0) failed = 1;
    return failed ? -1 : 0;
}

int te_stamp(const char* path, te_file_stamp* out) {
    *out = te_no_file;
    std::wstring wide;
    if (!te_utf8_to_wide(path, wide)) return -1;
    HANDLE h = CreateFileW(wide.c_str(), FILE_READ_ATTRIBUTES, te_share_all, nullptr, OPEN_EXISTING,
                           FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return te_open_status_of((int)GetLastError()) == TE_OPEN_NOT_FOUND ? 0 : -1;
    int r = te_stamp_of_handle(h, out);
    CloseHandle(h);
    return r;
}

int te_replace(const char* from, const char* to) {
    std::wstring wfrom, wto;
    if (!te_utf8_to_wide(from, wfrom) || !te_utf8_to_wide(to, wto)) return -1;
    DWORD flags = MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;
    return MoveFileExW(wfrom.c_str(), wto.c_str(), flags) ? 0 : -1;
}

// MOVEFILE_WRITE_THROUGH returns only once the move is on the disk: the
// folder needs no step of its own.
int te_sync_folder(const char*) { return 0; }

int te_remove(const char* path) {
    std::wstring wide;
    if (!te_utf8_to_wide(path, wide)) return -1;
    return _wremove(wide.c_str()) == 0 ? 0 : -1;
}

// Both '\' and '/' separate: paths typed by users and built by programs mix
// them. Existing directories and drive prefixes ("C:") fail harmlessly.
void te_make_parent_dirs(const char* path) {
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

// Links are not followed here (te_create_temp and te_replace work on the
// path given), so the lock is the one beside the path given.
te_lock_status te_lock_guarding(const char* path, int wait_ms, te_file_lock* out) {
    std::string lock_path = std::string(path) + ".lock";
    return te_win32_file_lock(lock_path.c_str(), wait_ms, out);
}

const te_file_calls te_system_calls = {
    te_open_read,   te_create_temp, te_commit_close,     te_stamp,         te_replace,
    te_sync_folder, te_remove,      te_make_parent_dirs, te_lock_guarding, te_win32_file_unlock,
};

}  // namespace

te_open_status te_open_status_of(int error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? TE_OPEN_NOT_FOUND : TE_OPEN_FAILED;
}

const te_file_calls& te_files_system(void) { return te_system_calls; }

int default_store_path(char* out, int size) {
    std::wstring path = te_environment(L"APPDATA");
    if (path.empty()) return 0;
    path += L"\\Wrenfold\\snippets.json";
    return te_wide_to_utf8(path.c_str(), out, size);
}
