// The tick count and the local time on Windows.
#include "local_time.h"
#include "platform.h"

#include <cstdint>

void te_tm_from_systemtime(const SYSTEMTIME& st, struct tm* out) {
    out->tm_sec = st.wSecond;
    out->tm_min = st.wMinute;
    out->tm_hour = st.wHour;
    out->tm_mday = st.wDay;
    // Month and year are computed in 16 bits, then widened with their sign.
    out->tm_mon = (std::int16_t)(st.wMonth - 1);
    out->tm_year = (std::int16_t)(st.wYear - 1900);
    out->tm_wday = st.wDayOfWeek;
}

std::uint64_t now_millis(void) { return GetTickCount64(); }

void now_local(struct tm* out) {
    SYSTEMTIME st;
    GetLocalTime(&st);
    te_tm_from_systemtime(st, out);
}
