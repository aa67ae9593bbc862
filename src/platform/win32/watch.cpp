// Waiting for the Windows desktop. A message-only window of the watching
// thread is registered as a clipboard format listener, so the system
// sends it WM_CLIPBOARDUPDATE on every change; the thread sleeps in
// MsgWaitForMultipleObjectsEx on the wake-up event and its message queue
// until one of them stirs or the time is up. A listener the system
// refuses leaves only the event and the time, and the worker polls. The
// key hooks (key_hook) run on a thread of their own, which sets an event
// of its own when a key event is queued: the wait watches that too.
//
// The window class lives only while a watch is open: a class outlives the
// module that registered it, and the worker's thread keeps this module
// loaded until the watch is closed.
#include "key_hook.h"
#include "own_module.h"
#include "platform.h"
#include "win32_desktop.h"

#include <windows.h>

namespace {

const wchar_t* const TE_WATCH_CLASS = L"VelmoraTextExpanderWatch";
// Without a wake-up event a wait lasts at most this long, so the waiting
// thread still looks at its stop flag often.
const DWORD TE_NO_EVENT_WAIT_MS = 100;

struct te_win_watch {
    HWND window = nullptr;
    bool changed = false;  // WM_CLIPBOARDUPDATE arrived since the last look
    bool keys = false;     // the key hooks are installed
};

thread_local te_win_watch te_watch;

// Auto-reset: the wait that takes a wake-up resets it.
HANDLE te_wake_event() {
    static const HANDLE event = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    return event;
}

LRESULT CALLBACK te_watch_proc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg != WM_CLIPBOARDUPDATE) return DefWindowProcW(w, msg, wp, lp);
    te_watch.changed = true;
    return 0;
}

// A listener window on this thread, or null when the system refuses one.
// Another thread's open watch may have registered the class already.
HWND te_open_listener() {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = te_watch_proc;
    wc.hInstance = te_own_module();
    wc.lpszClassName = TE_WATCH_CLASS;
    if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return nullptr;
    HWND w = CreateWindowExW(0, TE_WATCH_CLASS, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    if (w && AddClipboardFormatListener(w)) return w;
    if (w) DestroyWindow(w);
    UnregisterClassW(TE_WATCH_CLASS, wc.hInstance);
    return nullptr;
}

// Hands every queued message to its window; the bits of what changed.
int te_take_messages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    int bits = te_watch.changed ? TE_WATCH_CLIPBOARD : 0;
    te_watch.changed = false;
    return te_watch.keys && te_key_hook_pending() ? bits | TE_WATCH_KEYS : bits;
}

// Waits up to `ms` for the wake-up event, a key event or a new message:
// 1 when woken.
int te_wait_event_or_message(DWORD ms) {
    HANDLE events[2] = {te_wake_event(), te_watch.keys ? te_key_hook_arrived() : nullptr};
    if (!events[0]) {
        MsgWaitForMultipleObjectsEx(0, nullptr, ms < TE_NO_EVENT_WAIT_MS ? ms : TE_NO_EVENT_WAIT_MS, QS_ALLINPUT,
                                    MWMO_INPUTAVAILABLE);
        return 0;
    }
    DWORD count = events[1] ? 2 : 1;
    DWORD r = MsgWaitForMultipleObjectsEx(count, events, ms, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    if (r == WAIT_FAILED) Sleep(ms < TE_NO_EVENT_WAIT_MS ? ms : TE_NO_EVENT_WAIT_MS);
    return r == WAIT_OBJECT_0 ? 1 : 0;
}

}  // namespace

int te_win32_watch_open(int what) {
    te_win32_watch_close();
    if (what & TE_WATCH_CLIPBOARD) te_watch.window = te_open_listener();
    if (what & TE_WATCH_KEYS) te_watch.keys = te_key_hook_open((what & TE_WATCH_SYNTHETIC_KEYS) != 0) != 0;
    return (te_watch.window ? TE_WATCH_CLIPBOARD : 0) | (te_watch.keys ? TE_WATCH_KEYS : 0);
}

int te_win32_watch_wait(int ms) {
    ULONGLONG deadline = GetTickCount64() + (ULONGLONG)(ms > 0 ? ms : 0);
    for (;;) {
        int bits = te_take_messages();
        if (bits) return bits;
        ULONGLONG now = GetTickCount64();
        if (now >= deadline) return 0;
        if (te_wait_event_or_message((DWORD)(deadline - now))) return te_take_messages();
    }
}

void te_win32_watch_wake(void) {
    HANDLE event = te_wake_event();
    if (event) SetEvent(event);
}

void te_win32_watch_close(void) {
    if (te_watch.keys) te_key_hook_close();
    te_watch.keys = false;
    if (!te_watch.window) return;
    RemoveClipboardFormatListener(te_watch.window);
    DestroyWindow(te_watch.window);
    te_watch = te_win_watch();
    UnregisterClassW(TE_WATCH_CLASS, te_own_module());
}
