// The user's clipboard, as saved before a paste and given back after it.
// On GNOME and KDE the clipboard lives with its owner: KWin keeps no copy
// of a clipboard whose owner has gone, Mutter reads it from its owner. So
// the restored clipboard is served by a small process of its own, which
// outlives a one-shot `te expand` and ends once another program takes the
// clipboard; the engine's own process keeps nothing of it.
#ifndef TE_PASTE_CLIPBOARD_KEEPER_H
#define TE_PASTE_CLIPBOARD_KEEPER_H

#include <string>
#include <vector>

struct te_clip_item {
    std::string type;  // a MIME type, or an X11 target such as UTF8_STRING
    std::string data;
};
// Every format the clipboard offered, with its content; empty when the
// clipboard held nothing.
typedef std::vector<te_clip_item> te_clip_contents;

// The most a saved format may hold; a larger one is not saved.
const std::size_t TE_CLIP_ITEM_CAP = 64u << 20;

// How a desktop serves a clipboard, in the keeper's process: takes the
// clipboard with `contents` on a connection of its own, calls
// ready(ready_ctx) once the clipboard is its own, serves it, and returns
// once another program has taken it (or the desktop went away).
typedef void (*te_clip_ready)(void* ready_ctx);
typedef void (*te_clip_serve)(const te_clip_contents& contents, te_clip_ready ready, void* ready_ctx);

// Starts a keeper process serving `contents` and waits (a bounded time)
// until it has taken the clipboard. 1 then, 0 when it did not. The keeper
// holds no descriptor of this process and is not this process's child.
int te_clipboard_keep(const te_clip_contents& contents, te_clip_serve serve);

#endif
