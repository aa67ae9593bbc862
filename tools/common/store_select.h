// Which store a host works on, and whether it can be read.
#ifndef TE_TOOLS_STORE_SELECT_H
#define TE_TOOLS_STORE_SELECT_H

#include <string>

// Points the engine at the store file `store` before any other use, as the
// host's --store option or $TE_STORE asks. The engine takes a store path
// only through te_start's "store" member, and te_start also starts the
// worker, so:
//  1. The engine's first use runs with APPDATA naming a folder that can
//     never exist, so it reads no default store and holds just the seed
//     snippets, as for a new user. Otherwise a store file that does not
//     exist yet would be written with the default store's snippets.
//  2. The worker is started in hotkey mode with an empty chord (it never
//     runs a watch pass: nothing is read from the clipboard or typed) and
//     stopped at once. dry_run stays set for the process unless `may_type`.
// Call it before other threads start. False with *error on failure.
bool te_use_store_file(const std::string& store, bool may_type, std::string* error);

// False with *error = "cannot read PATH: reason" when a file is at `path`
// but cannot be opened or read (no permission, an I/O error, too many open
// files): the library then shows the seed snippets in its place and
// refuses every edit, so a host must not show or export them as the
// user's. A missing file is no fault: no snippets yet.
bool te_store_readable(const std::string& path, std::string* error);

#endif
