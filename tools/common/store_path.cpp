#include "store_path.h"

#include "platform.h"

std::string te_default_store_path() {
    char path[TE_STORE_PATH_CAP];
    te_store_path_default(path);
    return path;
}
