// Member look-up in parsed JSON objects: the first member with the key
// decides, and one of another type counts as absent.
#ifndef TE_JSON_LOOKUP_H
#define TE_JSON_LOOKUP_H

#include <yyjson.h>

// The string value of the first member named `key`, or null.
const char* jstr(yyjson_val* value, const char* key);
// 1 or 0 for a first member named `key` holding true or false, else fallback.
int jbool(yyjson_val* value, const char* key, int fallback);
// The first member named `key`, whatever its type, or null.
yyjson_val* te_json_first_member(yyjson_val* value, const char* key);

#endif
