// The conversion behind now_local, apart so it can be checked with chosen
// dates.
#ifndef TE_WIN32_LOCAL_TIME_H
#define TE_WIN32_LOCAL_TIME_H

#include <ctime>
#include <windows.h>

// Fills tm_sec..tm_wday from st; tm_yday and tm_isdst are left alone.
void te_tm_from_systemtime(const SYSTEMTIME& st, struct tm* out);

#endif
