#include "env.h"

#include <cstdlib>

const char* const TE_NO_FOLDER = "NUL";

void te_env_set(const char* name, const std::string* value) {
    _putenv_s(name, value ? value->c_str() : "");  // "" removes the variable
}
