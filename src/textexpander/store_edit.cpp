// One edit of the table under the store's cross-process lock: writers in
// other processes are kept out from the refresh of the table to the end of
// the write, so every edit applies to the file as it stands on disk and no
// process writes over a change another has just made. Readers take no
// lock: the file is only ever replaced whole.
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "engine.h"
#include "store.h"

te_store_edit::te_store_edit() : ready_(0), locked_(0), lock_(0) {
    if (!E.store_path[0]) {
        ready_ = 1;
        return;
    }
    char lock_path[TE_PATH_CAP + 8];
    std::snprintf(lock_path, sizeof lock_path, "%s.lock", E.store_path);
    te_files().make_parent_dirs(E.store_path);
    errno = 0;
    te_lock_status status = te_files().lock(lock_path, TE_STORE_LOCK_WAIT_MS, &lock_);
    if (status == TE_LOCK_BUSY) {
        te_set_err_internal("store is locked by another process: %s", E.store_path);
        return;
    }
    // A lock file that cannot be opened or locked (a folder in its place,
    // no permission, no locks on this file system) keeps other writers out
    // no more: the edit is refused rather than made unguarded.
    if (status == TE_LOCK_UNAVAILABLE) {
        te_set_err_internal("cannot lock %s: %s", lock_path,
                            errno ? std::strerror(errno) : "the lock file cannot be opened");
        return;
    }
    locked_ = 1;
    store_refresh_if_changed();
    if (E.store_unreadable) {
        te_set_err_internal("cannot read %s: changes are refused until it can be read", E.store_path);
        return;
    }
    ready_ = 1;
}

te_store_edit::~te_store_edit() {
    if (locked_) te_files().unlock(lock_);
}
