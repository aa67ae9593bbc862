#include "json_lookup.h"

#include <cstring>

yyjson_val* te_json_first_member(yyjson_val* value, const char* key) {
    if (!value || !yyjson_is_obj(value)) return nullptr;
    std::size_t klen = std::strlen(key);
    yyjson_obj_iter it = yyjson_obj_iter_with(value);
    yyjson_val* k;
    while ((k = yyjson_obj_iter_next(&it))) {
        if (yyjson_get_len(k) == klen && std::memcmp(yyjson_get_str(k), key, klen) == 0)
            return yyjson_obj_iter_get_val(k);
    }
    return nullptr;
}

const char* jstr(yyjson_val* value, const char* key) {
    yyjson_val* v = te_json_first_member(value, key);
    return yyjson_is_str(v) ? yyjson_get_str(v) : nullptr;
}

int jbool(yyjson_val* value, const char* key, int fallback) {
    yyjson_val* v = te_json_first_member(value, key);
    if (!yyjson_is_bool(v)) return fallback;
    return yyjson_get_bool(v) ? 1 : 0;
}
