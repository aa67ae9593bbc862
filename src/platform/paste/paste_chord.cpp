#include "paste_chord.h"

#include <cstring>
#include <linux/input-event-codes.h>
#include <strings.h>

namespace {

// Terminals, by the last part of their window class or app_id.
const char* const TE_TERMINALS[] = {"konsole", "yakuake", "foot", "footclient", "kitty", "alacritty",
                                    "wezterm", "terminator", "tilix", "xterm", "urxvt", "st", "gnome-terminal",
                                    "terminal", "ptyxis", "contour", "qterminal", "terminology", "sakura",
                                    "wayland-terminal", "weston-terminal"};

bool te_is_terminal(const char* program) {
    const char* dot = std::strrchr(program, '.');
    const char* name = dot ? dot + 1 : program;
    for (const char* t : TE_TERMINALS)
        if (strcasecmp(name, t) == 0) return true;
    return strcasecmp(program, "org.gnome.Terminal") == 0 || strcasecmp(program, "gnome-terminal-server") == 0;
}

}  // namespace

std::vector<int> te_paste_chord_for(const char* program) {
    if (program && program[0] && te_is_terminal(program)) return {KEY_LEFTCTRL, KEY_LEFTSHIFT, KEY_V};
    return {KEY_LEFTSHIFT, KEY_INSERT};
}
