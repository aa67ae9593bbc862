#include "edit_window.h"

namespace {

const wchar_t* const TE_TEST_CLASS = L"te_test_edit_host";

LRESULT CALLBACK te_host_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    return DefWindowProcW(hwnd, msg, wp, lp);
}

void te_register_host_class(void) {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = te_host_proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = TE_TEST_CLASS;
    RegisterClassW(&wc);  // a second registration fails harmlessly
}

}  // namespace

void te_pump_messages(void) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void te_pump_for(DWORD ms) {
    ULONGLONG end = GetTickCount64() + ms;
    while (GetTickCount64() < end) {
        te_pump_messages();
        Sleep(5);
    }
}

void te_send_key(int vk, bool down) {
    INPUT in = {};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = (WORD)vk;
    in.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    SendInput(1, &in, sizeof in);
    // The key state is the desktop's: wait until the system shows it.
    for (int i = 0; i < 200 && (GetAsyncKeyState(vk) & 0x8000) != (down ? 0x8000 : 0); i++) Sleep(5);
}

void te_press_char(wchar_t c) {
    SHORT scan = VkKeyScanW(c);
    WORD vk = LOBYTE(scan);
    bool shift = HIBYTE(scan) & 1;
    INPUT in[4] = {};
    int n = 0;
    auto key = [&](WORD v, DWORD flags) {
        in[n].type = INPUT_KEYBOARD;
        in[n].ki.wVk = v;
        in[n].ki.dwFlags = flags;
        n++;
    };
    if (shift) key(VK_SHIFT, 0);
    key(vk, 0);
    key(vk, KEYEVENTF_KEYUP);
    if (shift) key(VK_SHIFT, KEYEVENTF_KEYUP);
    SendInput((UINT)n, in, (int)sizeof(INPUT));
}

te_edit_window::te_edit_window() {
    te_register_host_class();
    top_ = CreateWindowExW(0, TE_TEST_CLASS, L"te test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10,
                           400, 300, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    // No scroll bar: under Wine, updating one for every typed character makes
    // the control ten times slower to take input.
    DWORD style = WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL;
    edit_ = CreateWindowExW(0, L"EDIT", L"", style, 0, 0, 380, 260, top_, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
    SendMessageW(edit_, EM_SETLIMITTEXT, 0, 0);  // no 30000-unit cap
    ShowWindow(top_, SW_SHOW);
    SetForegroundWindow(top_);
    SetFocus(edit_);
    for (int i = 0; i < 100 && !ready(); i++) {
        te_pump_for(20);
        SetForegroundWindow(top_);
        SetFocus(edit_);
    }
    te_pump_for(50);
}

te_edit_window::~te_edit_window() {
    if (top_) DestroyWindow(top_);
    te_pump_messages();
}

bool te_edit_window::ready() const {
    return top_ && GetForegroundWindow() == top_ && GetFocus() == edit_;
}

std::wstring te_edit_window::text() const {
    int n = GetWindowTextLengthW(edit_);
    std::wstring s((size_t)n + 1, L'\0');
    int got = GetWindowTextW(edit_, &s[0], n + 1);
    s.resize((size_t)got);
    return s;
}

void te_edit_window::clear() {
    SetWindowTextW(edit_, L"");
    te_pump_messages();
}

std::wstring te_edit_window::text_after_typing(size_t expected_units) {
    ULONGLONG deadline = GetTickCount64() + 5000;
    ULONGLONG quiet_since = GetTickCount64();
    size_t last = (size_t)-1;
    for (;;) {
        te_pump_messages();
        size_t now = (size_t)GetWindowTextLengthW(edit_);
        ULONGLONG t = GetTickCount64();
        if (now != last) {
            last = now;
            quiet_since = t;
        }
        // Settled: everything expected has arrived and nothing came since.
        if (now >= expected_units && t - quiet_since >= 100) break;
        if (t >= deadline) break;
        Sleep(2);
    }
    return text();
}

std::string te_utf8(const std::wstring& wide) {
    int n = WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), (int)wide.size(), nullptr, 0, nullptr, nullptr);
    std::string s((size_t)n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), (int)wide.size(), &s[0], n, nullptr, nullptr);
    return s;
}

std::wstring te_wide(const std::string& utf8) {
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), (int)utf8.size(), nullptr, 0);
    std::wstring s((size_t)n, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), (int)utf8.size(), &s[0], n);
    return s;
}
