// The worker's wait on a real X desktop, the watching library against the
// polling one in the same run: the worker thread's wake-ups (voluntary
// context switches) and CPU time over 10 s of an unchanged clipboard, at
// the default poll interval and at 10 s; and how long te_stop takes, over
// 100 start/stop cycles stopped at varying moments.
#include <benchmark/benchmark.h>

#include "library_loader.h"
#include "x11_harness.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

const int kIdleSeconds = 10;

std::set<std::string> tasks_of_this_process() {
    std::set<std::string> ids;
    DIR* d = opendir("/proc/self/task");
    if (!d) return ids;
    while (dirent* e = readdir(d))
        if (e->d_name[0] != '.') ids.insert(e->d_name);
    closedir(d);
    return ids;
}

// What the thread has used so far: wake-ups and nanoseconds on a CPU.
struct thread_use {
    long long wakeups = -1;
    long long cpu_ns = -1;
};

thread_use use_of(const std::string& tid) {
    thread_use u;
    std::string dir = "/proc/self/task/" + tid + "/";
    std::ifstream status(dir + "status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("voluntary_ctxt_switches:", 0) == 0) u.wakeups = std::atoll(line.c_str() + 24);
    std::ifstream(dir + "schedstat") >> u.cpu_ns;
    return u;
}

void set_private_appdata() {
    std::string dir = te_test::temp_file("");
    setenv("APPDATA", dir.substr(0, dir.rfind('/')).c_str(), 1);
}

// What each case starts from: the library of its first argument, a store
// of its own, and xclip owning a text that does not change.
struct bench_setup {
    const te_bench_library* lib;
    std::unique_ptr<te_test::child> clipboard_owner;
};

bench_setup set_up(benchmark::State& state) {
    bench_setup b = {te_bench_load((int)state.range(0)), nullptr};
    if (!b.lib) {
        state.SkipWithError("library not loaded");
        return b;
    }
    state.SetLabel(b.lib->name);
    set_private_appdata();
    Window previous = te_test::clipboard_owner();
    b.clipboard_owner = std::make_unique<te_test::child>(std::vector<std::string>{
        "xclip", "-quiet", "-selection", "clipboard", "-i", te_test::temp_file("an unchanged clipboard")});
    te_test::wait_clipboard_owner(previous);
    return b;
}

void BM_IdleWorker(benchmark::State& state) {
    bench_setup b = set_up(state);
    const te_bench_library* lib = b.lib;
    if (!lib) return;
    std::string config = "{\"mode\":\"clipboard\",\"poll_ms\":" + std::to_string(state.range(1)) + "}";
    std::set<std::string> before = tasks_of_this_process();
    if (!lib->start(config.c_str())) return state.SkipWithError("no worker");
    usleep(300000);  // its first look reads the text once
    std::string worker;
    for (const std::string& t : tasks_of_this_process())
        if (!before.count(t)) worker = t;
    thread_use u0, u1;
    for (auto _ : state) {
        u0 = use_of(worker);
        std::this_thread::sleep_for(std::chrono::seconds(kIdleSeconds));
        u1 = use_of(worker);
        state.SetIterationTime(kIdleSeconds);
    }
    lib->stop();
    state.counters["wakeups"] = (double)(u1.wakeups - u0.wakeups);
    state.counters["cpu_ms"] = (double)(u1.cpu_ns - u0.cpu_ns) / 1e6;
}

void BM_StopLatency(benchmark::State& state) {
    bench_setup b = set_up(state);
    const te_bench_library* lib = b.lib;
    if (!lib) return;
    std::vector<double> ms;
    for (auto _ : state) {
        if (!lib->start("{\"mode\":\"clipboard\"}")) return state.SkipWithError("no worker");
        std::this_thread::sleep_for(std::chrono::milliseconds(5 + ms.size() % 97));
        auto t0 = std::chrono::steady_clock::now();
        lib->stop();
        ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
        state.SetIterationTime(ms.back() / 1000.0);
    }
    std::sort(ms.begin(), ms.end());
    state.counters["median_ms"] = ms[ms.size() / 2];
    state.counters["worst_ms"] = ms.back();
}

}  // namespace

BENCHMARK(BM_IdleWorker)
    ->ArgsProduct({{TE_BENCH_WATCHING, TE_BENCH_POLLING}, {100, 10000}})
    ->ArgNames({"library", "poll_ms"})
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StopLatency)
    ->Arg(TE_BENCH_WATCHING)
    ->Arg(TE_BENCH_POLLING)
    ->UseManualTime()
    ->Iterations(100)
    ->Unit(benchmark::kMillisecond);
