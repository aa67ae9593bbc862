// The file calls of the store go through one table (te_files, platform.h),
// so that tests can put a fault into any of them, the way a test build of
// a database puts faults under its file layer. The library itself never
// changes the table.
#ifndef TE_FILES_SEAM_H
#define TE_FILES_SEAM_H

#include "platform.h"

// Puts `calls` in force (null: the system's again) and returns the table
// that was in force before (null for the system's). The table must outlive
// its use.
const te_file_calls* te_files_swap(const te_file_calls* calls);

// The system's own file calls, as this backend makes them.
const te_file_calls& te_files_system(void);

// How an open for reading that failed with the system's error code `error`
// (errno on POSIX, GetLastError on Windows) is reported.
te_open_status te_open_status_of(int error);

#endif
