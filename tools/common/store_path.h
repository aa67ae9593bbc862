// The snippet store file a host uses when it names none: the library's own
// definition (src/platform), compiled here too, so a host can show or lock
// the very file the engine uses without asking the engine.
#ifndef TE_TOOLS_STORE_PATH_H
#define TE_TOOLS_STORE_PATH_H

#include <string>

// POSIX: $APPDATA, else $XDG_CONFIG_HOME, else $HOME/.config, followed by
// "/Wrenfold/snippets.json" (empty variables count as unset); Windows:
// %APPDATA%\Wrenfold\snippets.json. "snippets.json" (in the current
// folder) when none of them is set or the path is too long, as the engine.
std::string te_default_store_path();

#endif
