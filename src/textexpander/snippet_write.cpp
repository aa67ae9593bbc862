// The written form of snippets, shared by the store file and the exports so
// both are byte for byte the same.
#include <cstdlib>

#include "snippet_parse.h"

char* te_json_write_and_free(yyjson_mut_doc* doc, yyjson_mut_val* root, std::size_t* len) {
    char* text = nullptr;
    if (root) {
        yyjson_mut_doc_set_root(doc, root);
        text = yyjson_mut_write(doc, 0, len);
    }
    yyjson_mut_doc_free(doc);
    return text;
}

yyjson_mut_val* te_snippet_to_json(yyjson_mut_doc* doc, const TeSnippet* s) {
    yyjson_mut_val* obj = yyjson_mut_obj(doc);
    if (!obj) return nullptr;
    if (!yyjson_mut_obj_add_str(doc, obj, "trigger", s->trigger) ||
        !yyjson_mut_obj_add_str(doc, obj, "text", s->text) ||
        !yyjson_mut_obj_add_str(doc, obj, "folder", s->folder) ||
        !yyjson_mut_obj_add_str(doc, obj, "apps", s->apps))
        return nullptr;
    int failed = 0;
    yyjson_mut_val* settings = te_settings_to_json(doc, s, &failed);
    if (failed || (settings && !yyjson_mut_obj_add_val(doc, obj, "settings", settings))) return nullptr;
    return obj;
}

namespace {

yyjson_mut_doc* te_table_doc(void) {
    yyjson_mut_doc* doc = yyjson_mut_doc_new(nullptr);
    if (!doc) return nullptr;
    yyjson_mut_val* root = yyjson_mut_obj(doc);
    yyjson_mut_val* arr = yyjson_mut_arr(doc);
    bool ok = root && arr && yyjson_mut_obj_add_val(doc, root, "snippets", arr);
    for (int i = 0; ok && i < E.snippet_count; i++) {
        yyjson_mut_val* obj = te_snippet_to_json(doc, &E.snippets[i]);
        ok = obj && yyjson_mut_arr_append(arr, obj);
    }
    if (!ok) {
        yyjson_mut_doc_free(doc);
        return nullptr;
    }
    yyjson_mut_doc_set_root(doc, root);
    return doc;
}

}  // namespace

char* te_table_json_write(std::size_t* len, int* built) {
    yyjson_mut_doc* doc = te_table_doc();
    *built = doc != nullptr;
    if (!doc) return nullptr;
    char* text = yyjson_mut_write(doc, 0, len);
    yyjson_mut_doc_free(doc);
    return text;
}
