// Whether a hotkey chord can ever fire. The engine takes any chord text in
// hotkey mode and simply never expands with one that names no key
// ("CTRL+SHIFT", "CTRL+FOO"), so a host checks the chord it is given with
// the engine's own parse and says what is wrong instead.
#ifndef TE_TOOLS_HOTKEY_CHECK_H
#define TE_TOOLS_HOTKEY_CHECK_H

#include <string>

// True when `chord` names a key. False with *error, e.g. "hotkey
// CTRL+SHIFT names no key (a chord such as CTRL+SHIFT+E)".
bool te_hotkey_check(const std::string& chord, std::string* error);

#endif
