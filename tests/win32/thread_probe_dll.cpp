// A DLL that starts one thread through thread_launch; the thread works
// inside the DLL for a while after the host has already unloaded it.
#include "platform.h"

#include <windows.h>

namespace {

unsigned te_probe_worker(void* arg) {
    volatile LONG* done = static_cast<volatile LONG*>(arg);
    for (int i = 0; i < 30; i++) Sleep(10);  // this loop is code inside the DLL
    *done = 1;
    return 0;
}

}  // namespace

// Returns a duplicate of the thread handle the host may wait on.
extern "C" __declspec(dllexport) HANDLE te_probe_start(volatile LONG* done) {
    te_thread_handle t = thread_launch(te_probe_worker, (void*)done);
    if (!t) return nullptr;
    HANDLE copy = nullptr;
    DuplicateHandle(GetCurrentProcess(), static_cast<HANDLE>(t), GetCurrentProcess(), &copy, 0, FALSE,
                    DUPLICATE_SAME_ACCESS);
    CloseHandle(static_cast<HANDLE>(t));
    return copy;
}
