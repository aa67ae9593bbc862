// Saving the user's clipboard before a paste: every format its owner
// offers, read through a pipe, on GNOME and KDE alike.
#ifndef TE_PASTE_CLIPBOARD_READ_H
#define TE_PASTE_CLIPBOARD_READ_H

#include "clipboard_keeper.h"

#include <string>
#include <vector>

// The text formats the engine reads and offers, the best first.
extern const char* const te_clip_text_types[5];

// Reads the content of each of `types` (what the clipboard offers) through
// the descriptor open(type) gives (-1 when it gives none; closed here)
// into *out, leaving out the targets that describe a clipboard rather than
// hold it (TARGETS, ...) and a format its owner does not deliver. 1 done,
// 0 when a text format could not be read (saving it would lose the
// user's text).
int te_clip_read(const std::vector<std::string>& types, int (*open)(const char* type), te_clip_contents* out);

#endif
