// POSIX threads. The library is linked with -z nodelete, so a thread that
// outlives the host's dlclose still runs mapped code.
#include "platform.h"

#include <new>
#include <pthread.h>
#include <time.h>

namespace {

struct te_posix_thread {
    pthread_t id;
    te_thread_start start;
    void* arg;
};

void* te_posix_trampoline(void* p) {
    te_posix_thread* t = static_cast<te_posix_thread*>(p);
    t->start(t->arg);
    return nullptr;
}

}  // namespace

te_thread_handle thread_launch(te_thread_start start, void* arg) {
    te_posix_thread* t = new (std::nothrow) te_posix_thread{pthread_t(), start, arg};
    if (!t) return nullptr;
    if (pthread_create(&t->id, nullptr, te_posix_trampoline, t) != 0) {
        delete t;
        return nullptr;
    }
    return t;
}

void thread_join(te_thread_handle handle) {
    if (!handle) return;
    te_posix_thread* t = static_cast<te_posix_thread*>(handle);
    pthread_join(t->id, nullptr);
    delete t;
}

void thread_sleep_ms(int ms) {
    if (ms <= 0) return;
    struct timespec ts;
    ts.tv_sec = ms / 1000;
    ts.tv_nsec = (long)(ms % 1000) * 1000000L;
    while (nanosleep(&ts, &ts) != 0) {
    }
}
