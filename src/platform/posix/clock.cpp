// Monotonic milliseconds and the local time on POSIX systems.
#include "platform.h"

#include <time.h>

std::uint64_t now_millis(void) {
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return (std::uint64_t)ts.tv_sec * 1000u + (std::uint64_t)ts.tv_nsec / 1000000u;
}

void now_local(struct tm* out) {
    time_t now = time(nullptr);
    struct tm t;
    localtime_r(&now, &t);
    out->tm_sec = t.tm_sec;
    out->tm_min = t.tm_min;
    out->tm_hour = t.tm_hour;
    out->tm_mday = t.tm_mday;
    out->tm_mon = t.tm_mon;
    out->tm_year = t.tm_year;
    out->tm_wday = t.tm_wday;
}
