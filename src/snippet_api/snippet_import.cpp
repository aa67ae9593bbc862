// Merging an array of snippet objects into the table: existing triggers are
// replaced in place, new ones appended until the table is full. The store
// is written once, at the end.
#include "engine.h"
#include "snippet_parse.h"
#include "store.h"
#include "textexpander.h"

namespace {

TeSnippet te_import_scratch;  // lock held: one user at a time

// Applies the elements in order; returns how many were appended.
int te_import_elements(yyjson_val* arr) {
    int added = 0;
    yyjson_arr_iter it = yyjson_arr_iter_with(arr);
    yyjson_val* el;
    while ((el = yyjson_arr_iter_next(&it))) {
        if (!te_parse_snippet_obj(el, &te_import_scratch, TE_SETTINGS_REFUSE_UNKNOWN)) continue;
        int index = te_snippet_find(te_import_scratch.trigger);
        if (index >= 0) {
            te_snippet_put(index, &te_import_scratch);
            continue;
        }
        if (E.snippet_count >= TE_MAX_SNIPPETS) break;
        te_snippet_put(E.snippet_count++, &te_import_scratch);
        added++;
    }
    return added;
}

int te_snippet_import_locked(const char* json, te_store_edit& edit) {
    if (!json || !json[0]) {
        te_set_err_internal("import: empty json");
        return 0;
    }
    yyjson_doc* doc = te_json_parse(json);
    if (!doc) {
        te_set_err_internal("import: bad json array");
        return 0;
    }
    yyjson_val* root = yyjson_doc_get_root(doc);
    if (!yyjson_is_arr(root)) {
        yyjson_doc_free(doc);
        te_set_err_internal("import: expected JSON array");
        return 0;
    }
    if (!edit.ready()) {
        yyjson_doc_free(doc);
        return 0;
    }
    int added = te_import_elements(root);
    yyjson_doc_free(doc);
    return te_store_write() ? added : 0;
}

}  // namespace

extern "C" int te_snippet_import(const char* json) {
    te_store_edit edit;
    te_engine_guard g(te_engine_lock);
    return te_snippet_import_locked(json, edit);
}
