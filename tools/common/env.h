// Setting an environment variable of this process, on every system.
#ifndef TE_TOOLS_ENV_H
#define TE_TOOLS_ENV_H

#include <string>

// Sets `name` to *value; null removes it.
void te_env_set(const char* name, const std::string* value);

#endif
