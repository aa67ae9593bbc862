#include "library_loader.h"

#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>

namespace {

te_bench_library te_open(const char* name, const char* path) {
    te_bench_library lib = {name, nullptr, nullptr};
    void* handle = dlopen(path, RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        std::fprintf(stderr, "cannot load %s: %s\n", path, dlerror());
        return lib;
    }
    lib.start = reinterpret_cast<int (*)(const char*)>(dlsym(handle, "te_start"));
    lib.stop = reinterpret_cast<int (*)(void)>(dlsym(handle, "te_stop"));
    return lib;
}

}  // namespace

const te_bench_library* te_bench_load(int which) {
    static const te_bench_library watching = te_open("watching", TE_WATCHING_LIBRARY);
    static const te_bench_library polling = [] {
        const char* other = std::getenv("TE_BENCH_POLLED_LIBRARY");
        return te_open("polling", other && other[0] ? other : TE_POLLING_LIBRARY);
    }();
    const te_bench_library* lib = which == TE_BENCH_WATCHING ? &watching : &polling;
    return lib->start && lib->stop ? lib : nullptr;
}
