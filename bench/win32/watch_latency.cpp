// How soon the Windows desktop's wait ends (Wine in the cross build): from
// a SetClipboardData on another thread, and from watch_wake, to the
// watching thread's return from a ten-second watch_wait; 100 runs each,
// median, 95th percentile and worst in milliseconds.
//
// A standalone program (Google Benchmark is not available for this
// target), timed with QueryPerformanceCounter.
#include "clipboard_util.h"
#include "platform.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>
#include <windows.h>

namespace {

const int TE_RUNS = 100;

struct te_watcher {
    HANDLE ready;     // set each time the watcher is about to wait
    HANDLE finished;  // set when a wait has returned
    LARGE_INTEGER returned_at;
    int bits;
    volatile LONG quit;
};

DWORD WINAPI te_watch_loop(LPVOID p) {
    te_watcher* w = static_cast<te_watcher*>(p);
    watch_open(TE_WATCH_CLIPBOARD);
    while (!w->quit) {
        SetEvent(w->ready);
        w->bits = watch_wait(10000);
        QueryPerformanceCounter(&w->returned_at);
        SetEvent(w->finished);
    }
    watch_close();
    return 0;
}

double te_ms_between(const LARGE_INTEGER& a, const LARGE_INTEGER& b) {
    LARGE_INTEGER freq;
    QueryPerformanceFrequency(&freq);
    return (double)(b.QuadPart - a.QuadPart) * 1000.0 / (double)freq.QuadPart;
}

// One run: waits until the watcher sleeps, acts, and times its return.
template <class F>
double te_time_one(te_watcher& w, F act) {
    WaitForSingleObject(w.ready, INFINITE);
    Sleep(20);  // inside watch_wait by now
    LARGE_INTEGER t0;
    QueryPerformanceCounter(&t0);
    act();
    WaitForSingleObject(w.finished, INFINITE);
    return te_ms_between(t0, w.returned_at);
}

void te_report(const char* what, std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    std::printf("%-32s median %.2f ms  p95 %.2f ms  worst %.2f ms  (%zu runs)\n", what, ms[ms.size() / 2],
                ms[(ms.size() * 95 + 99) / 100 - 1], ms.back(), ms.size());
}

}  // namespace

int main() {
    te_watcher w = {CreateEventW(nullptr, FALSE, FALSE, nullptr), CreateEventW(nullptr, FALSE, FALSE, nullptr),
                    {}, 0, 0};
    HANDLE t = CreateThread(nullptr, 0, te_watch_loop, &w, 0, nullptr);
    std::vector<double> copy_ms, wake_ms;
    for (int i = 0; i < TE_RUNS; i++) {
        std::wstring text = L"run " + std::to_wstring(i) + L" >>addr";
        copy_ms.push_back(te_time_one(w, [&] { te_clipboard_put_text(text); }));
        if (w.bits != TE_WATCH_CLIPBOARD) std::printf("run %d: the copy was not reported\n", i);
    }
    for (int i = 0; i < TE_RUNS; i++) wake_ms.push_back(te_time_one(w, [] { watch_wake(); }));
    te_report("SetClipboardData to return", copy_ms);
    te_report("watch_wake to return", wake_ms);
    w.quit = 1;
    watch_wake();
    WaitForSingleObject(t, INFINITE);
    CloseHandle(t);
    return 0;
}
