// The cross-process lock of the POSIX file calls (files_seam.h).
#ifndef TE_POSIX_FILE_LOCK_H
#define TE_POSIX_FILE_LOCK_H

#include "platform.h"

te_lock_status te_posix_file_lock(const char* path, int wait_ms, te_file_lock* out);
void te_posix_file_unlock(te_file_lock lock);

#endif
