// KWin's fake input (org_kde_kwin_fake_input): key presses by evdev code,
// read through the user's keymap as if typed on a keyboard. KWin offers
// the protocol only to programs it trusts: a desktop file in an
// applications folder whose Exec= is the program's path and that lists
// org_kde_kwin_fake_input in X-KDE-Wayland-Interfaces (kwin_trust.h).
// It has a connection of its own, with its own lock; nothing else of the
// engine is made on it.
#ifndef TE_KDE_FAKE_INPUT_H
#define TE_KDE_FAKE_INPUT_H

#include <vector>

struct te_kde_key {
    int code;     // evdev key code
    bool pressed; // false: released
};

// 1 when KWin offers fake input to this program, 0 when it does not, -1
// when no compositor answers.
int te_kde_fake_input_offered();

// Sends the key events in order, in batches, each batch handled by KWin
// before the next is sent. 1 when all were, 0 when fake input is not
// offered or the connection broke (what was sent stays sent).
int te_kde_fake_input_keys(const std::vector<te_kde_key>& keys);

#endif
