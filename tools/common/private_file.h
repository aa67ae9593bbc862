// Files that hold personal data (snippets, rules, status, drafts): created
// readable and writable by their user alone, mode 0600 whatever the umask,
// in folders of their user alone.
#ifndef TE_TOOLS_PRIVATE_FILE_H
#define TE_TOOLS_PRIVATE_FILE_H

#include <string>

// Creates or truncates `path` (never through a symbolic link) and writes
// `text` into it. For files nobody else writes (the instance lock's pid).
// False with *error ("PATH: reason") on failure.
bool te_write_private(const std::string& path, const std::string& text, std::string* error);

// Replaces the file at `path` with `text` the way the library replaces its
// store: a new file of its own beside the file finally named (a symbolic
// link is followed and stays), created exclusively, flushed to disk, then
// renamed over it and the folder synced. A reader sees the old file or the
// new one, never a part; a failure leaves the old file as it was.
// False with *error ("PATH: reason") on failure.
bool te_replace_private(const std::string& path, const std::string& text, std::string* error);

// Reads the whole file at `path` into *text (null: reads it through and
// keeps nothing). 1 read; 0 there is no file (nothing at the path, or a
// folder of it missing); -1 it is there but cannot be opened or read, with
// *error = "cannot read PATH: reason".
int te_read_file(const std::string& path, std::string* text, std::string* error);

// Creates every missing folder above the file `path`, as the library does
// for its store (mode 0700); failures are left to the write that follows.
void te_make_parent_dirs(const std::string& path);

#endif
