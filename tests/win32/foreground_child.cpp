// A small program for the foreground tests: it opens a window, brings it to
// the front, signals the named event given as its argument and stays until
// it is closed or ten seconds have passed.
#include <windows.h>

namespace {

LRESULT CALLBACK te_child_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_CLOSE) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

HWND te_child_window(void) {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = te_child_proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"te_foreground_child";
    RegisterClassW(&wc);
    return CreateWindowExW(0, wc.lpszClassName, L"child", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 200,
                           100, nullptr, nullptr, wc.hInstance, nullptr);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    HWND window = te_child_window();
    SetForegroundWindow(window);
    HANDLE ready = argc > 1 ? OpenEventW(EVENT_MODIFY_STATE, FALSE, argv[1]) : nullptr;
    ULONGLONG end = GetTickCount64() + 10000;
    bool signalled = false;
    MSG msg;
    while (GetTickCount64() < end) {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) return 0;
            DispatchMessageW(&msg);
        }
        if (!signalled && ready && GetForegroundWindow() == window) {
            SetEvent(ready);
            signalled = true;
        }
        Sleep(5);
    }
    return 0;
}
