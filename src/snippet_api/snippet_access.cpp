// The two read-only accessors of the snippet table.
#include <cstring>

#include "engine.h"
#include "store.h"
#include "textexpander.h"

// The count follows the store file, so a host enumerating the table sees
// what another process changed; te_snippet_field does not, so its pointers
// hold through one count-and-fields loop.
extern "C" int te_snippet_count(void) {
    store_refresh();
    te_engine_guard g(te_engine_lock);
    return E.snippet_count;
}

extern "C" const char* te_snippet_field(int index, const char* field) {
    te_engine_guard g(te_engine_lock);
    te_load_defaults();
    if (index < 0 || index >= E.snippet_count) {
        te_set_err_internal("snippet index out of range: %d", index);
        return nullptr;
    }
    if (!field) {
        te_set_err_internal("null field");
        return nullptr;
    }
    TeSnippet* s = &E.snippets[index];
    if (std::strcmp(field, "trigger") == 0) return s->trigger;
    if (std::strcmp(field, "text") == 0) return s->text;
    if (std::strcmp(field, "folder") == 0) return s->folder;
    if (std::strcmp(field, "apps") == 0) return s->apps;
    te_set_err_internal("unknown field: %s", field);
    return nullptr;
}
