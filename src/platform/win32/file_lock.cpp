// An advisory lock between processes: LockFileEx on the first byte of a
// lock file. The system lets the lock go when its holder exits, however it
// exits, so a crashed process never keeps others out for good.
#include "file_lock.h"
#include "text_convert.h"

#include <string>
#include <windows.h>

// Tries without blocking, about once a millisecond: a writer that takes the
// lock again and again leaves it free only for moments between its edits,
// and a waiter that looks seldom would miss them all. A lock kept for good
// ends the wait after about wait_ms.
te_lock_status te_win32_file_lock(const char* path, int wait_ms, te_file_lock* out) {
    std::wstring wide;
    if (!te_utf8_to_wide(path, wide)) return TE_LOCK_UNAVAILABLE;
    HANDLE h = CreateFileW(wide.c_str(), GENERIC_READ | GENERIC_WRITE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return TE_LOCK_UNAVAILABLE;
    ULONGLONG deadline = GetTickCount64() + (ULONGLONG)wait_ms;
    for (;;) {
        OVERLAPPED at = {};
        if (LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at)) break;
        bool busy = GetLastError() == ERROR_LOCK_VIOLATION;
        if (!busy || GetTickCount64() >= deadline) {
            CloseHandle(h);
            return busy ? TE_LOCK_BUSY : TE_LOCK_UNAVAILABLE;
        }
        Sleep(1);
    }
    *out = (te_file_lock)h;
    return TE_LOCK_TAKEN;
}

void te_win32_file_unlock(te_file_lock lock) {
    HANDLE h = (HANDLE)lock;
    OVERLAPPED at = {};
    UnlockFileEx(h, 0, 1, 0, &at);
    CloseHandle(h);
}
