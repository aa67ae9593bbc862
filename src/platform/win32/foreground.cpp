// The executable file name of the program that owns the foreground window,
// and whether that program is this very process.
#include "ascii_case.h"
#include "platform.h"
#include "text_convert.h"
#include "win32_desktop.h"

#include <windows.h>

namespace {

const DWORD TE_IMAGE_PATH_UNITS = 1024;

// The full path of the executable of the process owning `window`, into
// path[TE_IMAGE_PATH_UNITS]. 0 when it cannot be read or does not fit.
int te_window_image_path(HWND window, wchar_t* path) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == 0) return 0;
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (!process) return 0;
    DWORD length = TE_IMAGE_PATH_UNITS;
    BOOL ok = QueryFullProcessImageNameW(process, 0, path, &length);
    CloseHandle(process);
    return ok ? 1 : 0;
}

const wchar_t* te_base_name(const wchar_t* path) {
    const wchar_t* name = path;
    for (const wchar_t* p = path; *p; p++)
        if (*p == L'\\') name = p + 1;
    return name;
}

}  // namespace

int te_win32_foreground_is_this_process(void) {
    DWORD pid = 0;
    HWND window = GetForegroundWindow();
    if (window) GetWindowThreadProcessId(window, &pid);
    return pid != 0 && pid == GetCurrentProcessId() ? 1 : 0;
}

const char* te_win32_foreground_process_name(char* out, int size) {
    if (size <= 1) return nullptr;
    out[0] = 0;
    HWND window = GetForegroundWindow();
    if (!window) return nullptr;
    wchar_t path[TE_IMAGE_PATH_UNITS];
    if (!te_window_image_path(window, path)) return nullptr;
    if (!te_wide_to_utf8(te_base_name(path), out, size)) return nullptr;
    te_ascii_upper(out);
    return out;
}
