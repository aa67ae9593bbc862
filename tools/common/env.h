// Setting an environment variable of this process, on every system.
#ifndef TE_TOOLS_ENV_H
#define TE_TOOLS_ENV_H

#include <string>

// Sets `name` to *value; null removes it.
void te_env_set(const char* name, const std::string* value);

// A folder that can never exist here ("/dev/null", "NUL"): an APPDATA that
// names no store.
extern const char* const TE_NO_FOLDER;

#endif
