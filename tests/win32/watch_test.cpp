// Waiting for the Windows desktop: a clipboard change made by another
// thread ends a long wait of the watching thread, and so does watch_wake.
#include "clipboard_util.h"
#include "platform.h"

#include <functional>
#include <gtest/gtest.h>
#include <windows.h>

namespace {

struct te_wait_result {
    int can = -1;   // what watch_open said it delivers
    int got = -1;   // what watch_wait returned
    ULONGLONG took = 0;
};

struct te_waiter {
    HANDLE opened;
    te_wait_result result;
};

DWORD WINAPI te_watching_thread(LPVOID p) {
    te_waiter* w = static_cast<te_waiter*>(p);
    w->result.can = watch_open(TE_WATCH_CLIPBOARD);
    SetEvent(w->opened);
    ULONGLONG t0 = GetTickCount64();
    w->result.got = watch_wait(10000);
    w->result.took = GetTickCount64() - t0;
    watch_close();
    return 0;
}

// One ten-second wait on a thread of its own; `act` runs here once the
// watch is open. Returns when the wait has ended.
te_wait_result te_wait_during(const std::function<void()>& act) {
    te_waiter w = {CreateEventW(nullptr, TRUE, FALSE, nullptr), {}};
    HANDLE t = CreateThread(nullptr, 0, te_watching_thread, &w, 0, nullptr);
    WaitForSingleObject(w.opened, INFINITE);
    Sleep(100);  // the thread is asleep in its wait by now
    act();
    WaitForSingleObject(t, INFINITE);
    CloseHandle(t);
    CloseHandle(w.opened);
    return w.result;
}

TEST(Watch, ClipboardChangeEndsALongWait) {
    te_wait_result r = te_wait_during([] { ASSERT_TRUE(te_clipboard_put_text(L"Dear team, >>addr")); });
    EXPECT_EQ(TE_WATCH_CLIPBOARD, r.can);
    EXPECT_EQ(TE_WATCH_CLIPBOARD, r.got);
    EXPECT_LT(r.took, 1000u);
}

TEST(Watch, WakeFromAnotherThreadEndsALongWait) {
    te_wait_result r = te_wait_during([] { watch_wake(); });
    EXPECT_EQ(0, r.got);
    EXPECT_LT(r.took, 1000u);
}

}  // namespace
