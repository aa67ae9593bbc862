#include "store_select.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include <yyjson.h>

#include "env.h"
#include "files_seam.h"
#include "textexpander.h"

namespace {

// Applies the engine's first-use defaults while APPDATA names nothing.
void te_first_use_without_default_store(void) {
    const char* old = std::getenv("APPDATA");
    std::string saved = old ? old : "";
    std::string nowhere = TE_NO_FOLDER;
    te_env_set("APPDATA", &nowhere);
    te_snippet_count();
    te_env_set("APPDATA", old ? &saved : nullptr);
}

// The configuration of the one-shot start; empty when the path is not
// valid UTF-8.
std::string te_select_config(const std::string& store, bool may_type) {
    yyjson_mut_doc* doc = yyjson_mut_doc_new(nullptr);
    if (!doc) return "";
    yyjson_mut_val* root = yyjson_mut_obj(doc);
    yyjson_mut_doc_set_root(doc, root);
    yyjson_mut_obj_add_strncpy(doc, root, "store", store.data(), store.size());
    yyjson_mut_obj_add_str(doc, root, "mode", "hotkey");
    yyjson_mut_obj_add_str(doc, root, "hotkey", "");
    yyjson_mut_obj_add_int(doc, root, "poll_ms", 20);
    yyjson_mut_obj_add_bool(doc, root, "dry_run", !may_type);
    char* text = yyjson_mut_write(doc, 0, nullptr);
    yyjson_mut_doc_free(doc);
    std::string out = text ? text : "";
    std::free(text);
    return out;
}

}  // namespace

bool te_use_store_file(const std::string& store, bool may_type, std::string* error) {
    te_first_use_without_default_store();
    std::string config = te_select_config(store, may_type);
    if (config.empty()) {
        *error = "the store path is not valid UTF-8";
        return false;
    }
    if (!te_start(config.c_str())) {
        *error = te_last_error();
        return false;
    }
    te_stop();
    return true;
}

bool te_store_readable(const std::string& path, std::string* error) {
    te_open_status status;
    errno = 0;
    FILE* f = te_files_system().open_read(path.c_str(), &status, nullptr);
    int err = errno;
    if (f) {
        char chunk[1 << 14];
        while (std::fread(chunk, 1, sizeof chunk, f) == sizeof chunk) {
        }
        err = std::ferror(f) ? (errno ? errno : EIO) : 0;
        std::fclose(f);
        if (!err) return true;
    } else if (status == TE_OPEN_NOT_FOUND) {
        return true;
    }
    *error = "cannot read " + path + ": " + (err ? std::strerror(err) : "it cannot be opened");
    return false;
}
