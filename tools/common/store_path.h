// The snippet store file a host uses when it names none: the same path the
// engine derives on its first use, so a host can show or lock it without
// asking the engine.
#ifndef TE_TOOLS_STORE_PATH_H
#define TE_TOOLS_STORE_PATH_H

#include <string>

// POSIX: $APPDATA, else $XDG_CONFIG_HOME, else $HOME/.config, followed by
// "/Wrenfold/snippets.json" (empty variables count as unset); Windows:
// %APPDATA%\Wrenfold\snippets.json. "snippets.json" (in the current
// folder) when none of them is set, as the engine does.
std::string te_default_store_path();

#endif
