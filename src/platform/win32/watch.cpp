// The worker's wait on Windows: MsgWaitForMultipleObjects on a wake-up
// event, which also returns when the system has input for the key hooks
// installed on this thread; the hooks run while its messages are looked at.
#include "key_hook.h"
#include "platform.h"

#include <windows.h>

namespace {

// Auto-reset, made on first use and kept for the life of the process, so
// that watch_wake never signals a closed handle.
HANDLE te_wake_event(void) {
    static HANDLE event = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    return event;
}

thread_local int te_watching = 0;

// Dispatches this thread's messages; sent ones (the hook calls) are handled
// inside PeekMessage.
void te_pump(void) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

int te_pending_bits(void) { return (te_watching & TE_WATCH_KEYS) && te_key_hook_pending() ? TE_WATCH_KEYS : 0; }

}  // namespace

int watch_open(int what) {
    te_wake_event();
    te_watching = what & TE_WATCH_KEYS;
    if (te_watching && !te_key_hook_open()) te_watching = 0;
    return te_watching;
}

int watch_wait(int ms) {
    te_pump();
    if (te_pending_bits()) return te_pending_bits();
    HANDLE wake = te_wake_event();
    DWORD timeout = ms > 0 ? (DWORD)ms : 0;
    MsgWaitForMultipleObjectsEx(wake ? 1 : 0, &wake, timeout, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    te_pump();
    return te_pending_bits();
}

void watch_wake(void) {
    HANDLE wake = te_wake_event();
    if (wake) SetEvent(wake);
}

void watch_close(void) {
    if (te_watching & TE_WATCH_KEYS) te_key_hook_close();
    te_watching = 0;
}
