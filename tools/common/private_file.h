// Files that hold personal data (snippets, status): created readable and
// writable by their user alone, mode 0600 whatever the umask.
#ifndef TE_TOOLS_PRIVATE_FILE_H
#define TE_TOOLS_PRIVATE_FILE_H

#include <string>

// Creates or truncates `path` and writes `text` into it. False with *error
// ("PATH: reason") on failure.
bool te_write_private(const std::string& path, const std::string& text, std::string* error);
// Writes "<path>.tmp" and renames it over `path` in one step, so a reader
// sees the old file or the new one, never a part.
bool te_replace_private(const std::string& path, const std::string& text, std::string* error);

// Creates every missing folder above the file `path` (mode 0700: readable by
// the user alone); failures are left to the write that follows.
void te_make_parent_dirs(const std::string& path);

#endif
