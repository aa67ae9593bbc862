#include "store_select.h"

#include <cstdlib>

#include <yyjson.h>

#include "private_file.h"
#include "textexpander.h"

namespace {

// The configuration that names the store and starts nothing; empty when
// the path is not valid UTF-8.
std::string te_select_config(const std::string& store) {
    yyjson_mut_doc* doc = yyjson_mut_doc_new(nullptr);
    if (!doc) return "";
    yyjson_mut_val* root = yyjson_mut_obj(doc);
    yyjson_mut_doc_set_root(doc, root);
    yyjson_mut_obj_add_strncpy(doc, root, "store", store.data(), store.size());
    yyjson_mut_obj_add_bool(doc, root, "worker", false);
    char* text = yyjson_mut_write(doc, 0, nullptr);
    yyjson_mut_doc_free(doc);
    std::string out = text ? text : "";
    std::free(text);
    return out;
}

}  // namespace

bool te_use_store_file(const std::string& store, std::string* error) {
    std::string config = te_select_config(store);
    if (config.empty()) {
        *error = "the store path is not valid UTF-8";
        return false;
    }
    if (!te_start(config.c_str())) {
        *error = te_last_error();
        return false;
    }
    return true;
}

bool te_store_readable(const std::string& path, std::string* error) {
    return te_read_file(path, nullptr, error) >= 0;
}
