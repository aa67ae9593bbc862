// The cross-process lock of the Windows file calls (files_seam.h).
#ifndef TE_WIN32_FILE_LOCK_H
#define TE_WIN32_FILE_LOCK_H

#include "platform.h"

te_lock_status te_win32_file_lock(const char* path, int wait_ms, te_file_lock* out);
void te_win32_file_unlock(te_file_lock lock);

#endif
