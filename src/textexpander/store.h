// The store file: the snippet table persisted as one JSON file.
#ifndef TE_STORE_H
#define TE_STORE_H

// Reads the file at E.store_path into the table (a read that yields no
// valid snippet leaves the table as it was) and installs the seeds when
// the table is empty afterwards. Lock held.
void store_read_into(void);

// Writes the whole table to E.store_path through a temporary file that is
// flushed to disk and then put in place in one atomic step. 1 on success
// (or when store_path is empty); 0 with the reason in the last-error text.
// Lock held.
int te_store_write(void);

// Largest store file the read takes: the largest the write can produce
// for a full table.
const long long TE_STORE_READ_MAX = 2147483647LL;

#endif
