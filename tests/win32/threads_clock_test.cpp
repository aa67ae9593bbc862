// Threads (including the module reference a running thread holds) and the
// clock.
#include "local_time.h"
#include "platform.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace {

unsigned te_slow_worker(void* arg) {
    Sleep(100);
    static_cast<volatile LONG*>(arg)[0] = 1;
    return 0;
}

TEST(Threads, JoinOfNullReturnsAtOnce) { thread_join(nullptr); }

TEST(Threads, JoinReturnsOnlyAfterTheThreadFinished) {
    volatile LONG done = 0;
    te_thread_handle t = thread_launch(te_slow_worker, (void*)&done);
    ASSERT_NE(nullptr, t);
    thread_join(t);
    EXPECT_EQ(1, done);
}

TEST(Threads, JoinReleasesTheHandle) {
    volatile LONG done = 0;
    te_thread_handle warm = thread_launch(te_slow_worker, (void*)&done);  // CRT's first-thread setup
    thread_join(warm);
    DWORD before = 0, after = 0;
    GetProcessHandleCount(GetCurrentProcess(), &before);
    thread_join(thread_launch(te_slow_worker, (void*)&done));
    GetProcessHandleCount(GetCurrentProcess(), &after);
    EXPECT_EQ(before, after);
}

// The library's worker keeps the library mapped: a probe DLL built from the
// same thread code starts a thread, the host unloads the DLL at once, and
// the thread still finishes its work inside the DLL; the DLL goes away
// only after the thread has left.
typedef HANDLE(__cdecl* te_probe_start_fn)(volatile LONG* done);

TEST(Threads, RunningThreadKeepsItsModuleLoaded) {
    HMODULE dll = LoadLibraryW(L"te_thread_probe.dll");
    ASSERT_NE(nullptr, dll);
    auto start = reinterpret_cast<te_probe_start_fn>(reinterpret_cast<void*>(GetProcAddress(dll, "te_probe_start")));
    ASSERT_NE(nullptr, start);
    volatile LONG done = 0;
    HANDLE thread = start(&done);
    ASSERT_NE(nullptr, thread);

    EXPECT_TRUE(FreeLibrary(dll));
    EXPECT_NE(nullptr, GetModuleHandleW(L"te_thread_probe.dll")) << "unloaded under a running thread";
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread, 10000));
    CloseHandle(thread);
    EXPECT_EQ(1, done);
    EXPECT_EQ(nullptr, GetModuleHandleW(L"te_thread_probe.dll")) << "reference not released";
}

TEST(Clock, NowLocalMatchesTheSystemLocalTime) {
    struct tm t;
    t.tm_yday = 777;
    t.tm_isdst = 555;
    SYSTEMTIME before, after;
    do {
        GetLocalTime(&before);
        now_local(&t);
        GetLocalTime(&after);
    } while (before.wSecond != after.wSecond || before.wMinute != after.wMinute);
    EXPECT_EQ(after.wSecond, t.tm_sec);
    EXPECT_EQ(after.wMinute, t.tm_min);
    EXPECT_EQ(after.wHour, t.tm_hour);
    EXPECT_EQ(after.wDay, t.tm_mday);
    EXPECT_EQ(after.wMonth - 1, t.tm_mon);
    EXPECT_EQ(after.wYear - 1900, t.tm_year);
    EXPECT_EQ(after.wDayOfWeek, t.tm_wday);
    EXPECT_EQ(777, t.tm_yday);
    EXPECT_EQ(555, t.tm_isdst);
}

SYSTEMTIME te_systemtime(int y, int mon, int wday, int d, int h, int min, int s) {
    SYSTEMTIME st = {};
    st.wYear = (WORD)y;
    st.wMonth = (WORD)mon;
    st.wDayOfWeek = (WORD)wday;
    st.wDay = (WORD)d;
    st.wHour = (WORD)h;
    st.wMinute = (WORD)min;
    st.wSecond = (WORD)s;
    st.wMilliseconds = 999;
    return st;
}

TEST(Clock, ThursdayFifthOfMarch2026) {
    struct tm t = {};
    te_tm_from_systemtime(te_systemtime(2026, 3, 4, 5, 9, 7, 3), &t);
    EXPECT_EQ(3, t.tm_sec);
    EXPECT_EQ(7, t.tm_min);
    EXPECT_EQ(9, t.tm_hour);
    EXPECT_EQ(5, t.tm_mday);
    EXPECT_EQ(2, t.tm_mon);
    EXPECT_EQ(126, t.tm_year);
    EXPECT_EQ(4, t.tm_wday);
}

TEST(Clock, LastSecondOfTheYearOnASunday) {
    struct tm t = {};
    te_tm_from_systemtime(te_systemtime(2028, 12, 0, 31, 23, 59, 59), &t);
    EXPECT_EQ(11, t.tm_mon);
    EXPECT_EQ(128, t.tm_year);
    EXPECT_EQ(0, t.tm_wday);
    EXPECT_EQ(23, t.tm_hour);
}

TEST(Clock, YearsBefore1900AreNegative) {
    struct tm t = {};
    te_tm_from_systemtime(te_systemtime(1601, 1, 1, 1, 0, 0, 0), &t);
    EXPECT_EQ(-299, t.tm_year);
    EXPECT_EQ(0, t.tm_mon);
}

TEST(Clock, MillisFollowTheSystemTickCount) {
    ULONGLONG before = GetTickCount64();
    std::uint64_t ms = now_millis();
    ULONGLONG after = GetTickCount64();
    EXPECT_LE(before, ms);
    EXPECT_GE(after, ms);
}

}  // namespace
