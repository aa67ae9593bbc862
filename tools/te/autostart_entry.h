// The XDG autostart entry that starts `te run` with the desktop session.
#ifndef TE_TOOL_AUTOSTART_ENTRY_H
#define TE_TOOL_AUTOSTART_ENTRY_H

#include <string>
#include <vector>

// $XDG_CONFIG_HOME/autostart/velmora-te.desktop, else under $HOME/.config;
// empty when neither is set.
std::string te_autostart_path(void);

// The entry's text, running `command` (program first). Empty when an
// argument holds a character an Exec line cannot carry (a line break or
// another control character).
std::string te_autostart_entry(const std::vector<std::string>& command);

#endif
