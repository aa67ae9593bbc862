// Which store a host works on, and whether it can be read.
#ifndef TE_TOOLS_STORE_SELECT_H
#define TE_TOOLS_STORE_SELECT_H

#include <string>

// Points the engine at the store file `store`, as the host's --store
// option or $TE_STORE asks: te_start with the store and "worker": false,
// which starts nothing and touches no desktop. Made before any other call
// into the library, it is the engine's first use, so the default store is
// never read: a store that does not exist yet holds the seed snippets, as
// for a new user. False with *error on failure.
bool te_use_store_file(const std::string& store, std::string* error);

// False with *error = "cannot read PATH: reason" when a file is at `path`
// but cannot be opened or read (no permission, an I/O error, too many open
// files): the library then shows the seed snippets in its place and
// refuses every edit, so a host must not show or export them as the
// user's. A missing file is no fault: no snippets yet.
bool te_store_readable(const std::string& path, std::string* error);

#endif
