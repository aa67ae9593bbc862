// The clipboard side of typing on KDE: saving the user's clipboard (every
// format), putting the text to paste on it, pressing the paste chord, and
// giving the user's clipboard back, all through data control
// (data_control.h); none of it counts as a copy for the clipboard watch.
#ifndef TE_KDE_PASTE_H
#define TE_KDE_PASTE_H

#include "clipboard_keeper.h"

#include <string>

int te_kde_save_clipboard(te_clip_contents* out);
int te_kde_paste(const std::string& text);
int te_kde_restore_clipboard(const te_clip_contents& saved);

// The keeper's side (clipboard_keeper.h): serves `contents` as the
// clipboard on a connection of its own until another program takes it.
void te_kde_serve_clipboard(const te_clip_contents& contents, te_clip_ready ready, void* ready_ctx);

#endif
