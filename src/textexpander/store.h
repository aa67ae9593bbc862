// The store file: the snippet table persisted as one JSON file, shared with
// other processes that use the same file.
#ifndef TE_STORE_H
#define TE_STORE_H

#include "engine.h"
#include "platform.h"

// Reads the file at E.store_path into the table (a read that yields no
// valid snippet leaves the table as it was) and installs the seeds when
// the table is empty afterwards. First use and a switch of the store path.
// Lock held.
void store_read_into(void);

// Reads the file again when it is not the one this process last read or
// wrote (one stat when it is), as a first use would: the table becomes the
// file's snippets, or the seeds when the file yields none; a file that
// cannot be parsed leaves the table as it was. Nothing when no store path
// is set. Lock held.
void store_refresh_if_changed(void);

// store_refresh_if_changed without holding the engine lock for the file:
// the stat and the read run without it, and the read is taken into the
// table under it unless the table changed meanwhile. Applies the first-use
// defaults first. Lock NOT held.
void store_refresh(void);

// store_refresh for the worker's passes: at most once per poll interval,
// so the one stat stays off the path of every typed key. Lock NOT held.
void store_follow(void);

// Writes the whole table to E.store_path through a temporary file of its
// own that is flushed to disk, put in place in one atomic step, and the
// folder synced. 1 on success (or when store_path is empty); 0 with the
// reason in the last-error text. Lock held.
int te_store_write(void);

// One edit of the table (add, update, delete, import): while it lives,
// other processes' writers of the store file are kept out, and the table
// has been brought up to date with the file. Made before the engine lock
// is taken (it waits for the store's file lock without it, so an edit kept
// waiting by another process never stalls the worker or other calls), and
// kept until after the lock is let go.
class te_store_edit {
public:
    te_store_edit();
    ~te_store_edit();
    te_store_edit(const te_store_edit&) = delete;
    te_store_edit& operator=(const te_store_edit&) = delete;

    // Under the engine lock, after the checks that need no table and
    // before those that do: 1 when the edit may go on; 0 with the reason in
    // the last-error text (the file is locked by another process, cannot
    // be read, or the store was switched meanwhile), and nothing of the
    // table changed.
    int ready();

private:
    char path_[TE_PATH_CAP];  // the store the file lock is for; empty: none
    te_lock_status status_;
    int lock_errno_;  // errno as the lock call left it, for the message
    te_file_lock lock_;
};

// How long an edit waits for another process to let the store go.
const int TE_STORE_LOCK_WAIT_MS = 3000;

// Largest store file the read takes: the largest the write can produce
// for a full table.
const long long TE_STORE_READ_MAX = 2147483647LL;

#endif
