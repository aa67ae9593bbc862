// One edit of the table under the store's cross-process lock: writers in
// other processes are kept out from the refresh of the table to the end of
// the write, so every edit applies to the file as it stands on disk and no
// process writes over a change another has just made. Readers take no
// lock: the file is only ever replaced whole.
#include <cstdio>

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
    te_lock_status status = te_files().lock(lock_path, TE_STORE_LOCK_WAIT_MS, &lock_);
    if (status == TE_LOCK_BUSY) {
        te_set_err_internal("store is locked by another process: %s", E.store_path);
        return;
    }
    // What keeps the lock file from being opened (a folder that cannot be
    // created, no file descriptor left) keeps the store's temporary file
    // from being created too: the edit goes on and the write reports it.
    locked_ = status == TE_LOCK_TAKEN;
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
