// Threads for the te_start fuzz target. Creating and ending a thread for
// every input costs far more under the sanitizers than the configuration
// being tested, so one long-lived thread runs each launched function in
// turn: a launch hands the function over, a join waits until it returned.
// The engine launches at most one worker at a time, which is all this
// supports. The worker waits between polls on the fake desktop, and
// te_stop cuts that wait short; a plain sleep here only yields.
#include <condition_variable>
#include <mutex>
#include <thread>

#include "platform.h"

namespace {

struct te_runner {
    std::mutex lock;
    std::condition_variable changed;
    te_thread_start fn = nullptr;  // the function handed over, until it returned
    void* arg = nullptr;

    te_runner() { std::thread([this] { serve(); }).detach(); }

    void serve() {
        std::unique_lock<std::mutex> g(lock);
        for (;;) {
            changed.wait(g, [this] { return fn != nullptr; });
            te_thread_start f = fn;
            g.unlock();
            f(arg);
            g.lock();
            fn = nullptr;
            changed.notify_all();
        }
    }
};

// Never destroyed: its thread outlives every input.
te_runner& te_the_runner() {
    static te_runner* r = new te_runner;
    return *r;
}

}  // namespace

te_thread_handle thread_launch(te_thread_start start, void* arg) {
    te_runner& r = te_the_runner();
    std::unique_lock<std::mutex> g(r.lock);
    r.changed.wait(g, [&r] { return r.fn == nullptr; });
    r.fn = start;
    r.arg = arg;
    r.changed.notify_all();
    return &r;
}

void thread_join(te_thread_handle handle) {
    if (!handle) return;
    te_runner& r = *static_cast<te_runner*>(handle);
    std::unique_lock<std::mutex> g(r.lock);
    r.changed.wait(g, [&r] { return r.fn == nullptr; });
}

void thread_sleep_ms(int ms) {
    if (ms > 0) std::this_thread::yield();
}
