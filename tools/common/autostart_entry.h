// The XDG autostart entries that start a desktop host with the session:
// `te run` (velmora-te.desktop) or the snippet manager window in its tray
// (velmora-manager.desktop). The engine runs once per user and desktop, so
// only one of them autostarts: enabling one removes the other's entry.
#ifndef TE_TOOLS_AUTOSTART_ENTRY_H
#define TE_TOOLS_AUTOSTART_ENTRY_H

#include <string>
#include <vector>

enum te_autostart_host { TE_AUTOSTART_TE_RUN, TE_AUTOSTART_MANAGER };

// $XDG_CONFIG_HOME/autostart/<the host's file>, else under $HOME/.config;
// empty when neither is set.
std::string te_autostart_path(te_autostart_host host);

// The entry's text for `host`, running `command` (program first). Empty
// when an argument holds a character an Exec line cannot carry (a line
// break or another control character).
std::string te_autostart_entry(te_autostart_host host, const std::vector<std::string>& command);

// Writes `entry` as the host's entry (mode 0600, replaced in one step,
// its folder made) and removes the other host's entry; *other_removed
// tells whether there was one. False with *error when the entry was not
// written, or was written but the other could not be removed.
bool te_autostart_enable(te_autostart_host host, const std::string& entry, bool* other_removed, std::string* error);

// Removes the host's entry: 1 removed, 0 there was none, -1 failed (*error).
int te_autostart_disable(te_autostart_host host, std::string* error);

bool te_autostart_enabled(te_autostart_host host);

#endif
