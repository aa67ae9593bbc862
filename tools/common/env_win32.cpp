#include "env.h"

#include <cstdlib>

void te_env_set(const char* name, const std::string* value) {
    _putenv_s(name, value ? value->c_str() : "");  // "" removes the variable
}
