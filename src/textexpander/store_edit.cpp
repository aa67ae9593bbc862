// One edit of the table under the store's cross-process lock: writers in
// other processes are kept out from the refresh of the table to the end of
// the write, so every edit applies to the file as it stands on disk and no
// process writes over a change another has just made. Readers take no
// lock: the file is only ever replaced whole.
//
// The file lock is waited for before the engine lock is taken: another
// process may keep it for seconds, and the engine lock is never held
// through a wait.
#include <cerrno>
#include <cstring>

#include "engine.h"
#include "store.h"

te_store_edit::te_store_edit() : status_(TE_LOCK_UNAVAILABLE), lock_errno_(0), lock_(0) {
    {
        te_engine_guard g(te_engine_lock);
        te_load_defaults();
        std::strcpy(path_, E.store_path);
    }
    if (!path_[0]) return;
    te_files().make_parent_dirs(path_);
    errno = 0;
    status_ = te_files().lock(path_, TE_STORE_LOCK_WAIT_MS, &lock_);
    lock_errno_ = errno;
    // With the lock, the file can be read without the engine lock: no
    // other writer can replace it before the edit's write.
    if (status_ == TE_LOCK_TAKEN) store_refresh();
}

int te_store_edit::ready() {
    if (std::strcmp(path_, E.store_path) != 0) {
        te_set_err_internal("store switched during the edit: %s", E.store_path);
        return 0;
    }
    if (!path_[0]) return 1;
    if (status_ == TE_LOCK_BUSY) {
        te_set_err_internal("store is locked by another process: %s", E.store_path);
        return 0;
    }
    // A lock file that cannot be opened or locked (a folder in its place,
    // no permission, no locks on this file system) keeps other writers out
    // no more: the edit is refused rather than made unguarded.
    if (status_ == TE_LOCK_UNAVAILABLE) {
        te_set_err_internal("cannot lock %s.lock: %s", path_,
                            lock_errno_ ? std::strerror(lock_errno_) : "the lock file cannot be opened");
        return 0;
    }
    store_refresh_if_changed();
    if (E.store_unreadable) {
        te_set_err_internal("cannot read %s: changes are refused until it can be read", E.store_path);
        return 0;
    }
    return 1;
}

te_store_edit::~te_store_edit() {
    if (status_ == TE_LOCK_TAKEN) te_files().unlock(lock_);
}
