// Threads on Windows.
//
// A thread started here holds a reference on the module that contains this
// code (the library, or a test program) for as long as it runs, and drops
// it on its way out with FreeLibraryAndExitThread. A host that calls
// FreeLibrary while the worker is still running therefore only drops its
// own reference: the code stays mapped until the worker has left it.
#include "platform.h"

#include <new>
#include <process.h>
#include <windows.h>

namespace {

struct te_thread_start_info {
    te_thread_start start;
    void* arg;
    HMODULE module;
};

unsigned __stdcall te_thread_trampoline(void* p) {
    te_thread_start_info info = *static_cast<te_thread_start_info*>(p);
    delete static_cast<te_thread_start_info*>(p);
    unsigned code = info.start(info.arg);
    FreeLibraryAndExitThread(info.module, code);
    return code;  // not reached
}

// A counted reference on the module this function lives in, or null.
HMODULE te_reference_own_module(void) {
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                       reinterpret_cast<LPCWSTR>(&te_thread_trampoline), &module);
    return module;
}

}  // namespace

te_thread_handle thread_launch(te_thread_start start, void* arg) {
    te_thread_start_info* info = new (std::nothrow) te_thread_start_info{start, arg, nullptr};
    if (!info) return nullptr;
    info->module = te_reference_own_module();
    if (!info->module) {
        delete info;
        return nullptr;
    }
    HMODULE module = info->module;
    uintptr_t handle = _beginthreadex(nullptr, 0, te_thread_trampoline, info, 0, nullptr);
    if (handle == 0) {
        FreeLibrary(module);
        delete info;
        return nullptr;
    }
    return reinterpret_cast<te_thread_handle>(handle);
}

void thread_join(te_thread_handle handle) {
    if (!handle) return;
    WaitForSingleObject(static_cast<HANDLE>(handle), INFINITE);
    CloseHandle(static_cast<HANDLE>(handle));
}

void thread_sleep_ms(int ms) { Sleep((DWORD)ms); }
