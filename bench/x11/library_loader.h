// The two builds of the library that the X11 benchmarks compare in one
// process: the one hosts get, whose worker waits for the desktop's
// notifications, and the same engine on an X11 desktop that notifies
// nothing, whose worker polls. Each is loaded with dlopen on its own, so
// each has its own engine and worker.
#ifndef TE_BENCH_LIBRARY_LOADER_H
#define TE_BENCH_LIBRARY_LOADER_H

enum { TE_BENCH_WATCHING = 0, TE_BENCH_POLLING = 1 };

struct te_bench_library {
    const char* name;  // "watching" or "polling"
    int (*start)(const char* config_json);
    int (*stop)(void);
};

// The library `which` (TE_BENCH_WATCHING or TE_BENCH_POLLING), loaded on
// first use; null when it cannot be loaded. TE_BENCH_POLLED_LIBRARY, when
// set, names another build to load as the polling one (an older release,
// say).
const te_bench_library* te_bench_load(int which);

#endif
