#include "env.h"

#include <cstdlib>

void te_env_set(const char* name, const std::string* value) {
    if (value) setenv(name, value->c_str(), 1);
    else unsetenv(name);
}
