// The status file's JSON form, written and read with yyjson.
#include "instance_status.h"

#include <cstdlib>

#include <yyjson.h>

std::string te_instance_status_json(const te_instance_info& info) {
    yyjson_mut_doc* doc = yyjson_mut_doc_new(nullptr);
    if (!doc) return "{}";
    yyjson_mut_val* root = yyjson_mut_obj(doc);
    yyjson_mut_doc_set_root(doc, root);
    yyjson_mut_obj_add_int(doc, root, "pid", info.pid);
    yyjson_mut_obj_add_strncpy(doc, root, "mode", info.mode.data(), info.mode.size());
    yyjson_mut_obj_add_int(doc, root, "started", info.started);
    yyjson_mut_obj_add_int(doc, root, "expanded", info.expanded);
    yyjson_mut_obj_add_strncpy(doc, root, "store", info.store.data(), info.store.size());
    yyjson_mut_obj_add_strncpy(doc, root, "host", info.host.data(), info.host.size());
    yyjson_mut_obj_add_bool(doc, root, "paused", info.paused);
    yyjson_mut_obj_add_strncpy(doc, root, "desktop", info.desktop.data(), info.desktop.size());
    if (!info.refresh.empty()) yyjson_mut_obj_add_strncpy(doc, root, "refresh", info.refresh.data(), info.refresh.size());
    // A path that is not valid UTF-8 would make the writer refuse the
    // whole document; say so instead of writing nothing.
    char* text = yyjson_mut_write(doc, YYJSON_WRITE_ALLOW_INVALID_UNICODE, nullptr);
    yyjson_mut_doc_free(doc);
    std::string out = text ? text : "{}";
    std::free(text);
    return out;
}

namespace {

std::string te_member_string(yyjson_val* obj, const char* key, const std::string& fallback) {
    yyjson_val* v = yyjson_obj_get(obj, key);
    return yyjson_is_str(v) ? std::string(yyjson_get_str(v), yyjson_get_len(v)) : fallback;
}

long long te_member_int(yyjson_val* obj, const char* key, long long fallback) {
    yyjson_val* v = yyjson_obj_get(obj, key);
    return yyjson_is_int(v) ? (long long)yyjson_get_sint(v) : fallback;
}

}  // namespace

bool te_instance_status_parse(const std::string& text, te_instance_info* out) {
    yyjson_doc* doc = yyjson_read(text.data(), text.size(), YYJSON_READ_ALLOW_INVALID_UNICODE);
    yyjson_val* root = yyjson_doc_get_root(doc);
    bool ok = yyjson_is_obj(root);
    if (ok) {
        out->pid = (long)te_member_int(root, "pid", out->pid);
        out->mode = te_member_string(root, "mode", out->mode);
        out->started = te_member_int(root, "started", out->started);
        out->expanded = te_member_int(root, "expanded", out->expanded);
        out->store = te_member_string(root, "store", out->store);
        out->host = te_member_string(root, "host", out->host);
        out->desktop = te_member_string(root, "desktop", out->desktop);
        out->refresh = te_member_string(root, "refresh", out->refresh);
        yyjson_val* paused = yyjson_obj_get(root, "paused");
        if (yyjson_is_bool(paused)) out->paused = yyjson_get_bool(paused);
    }
    yyjson_doc_free(doc);
    return ok;
}

std::string te_instance_refusal(const std::string& lock_path, const te_instance_info& holder) {
    if (holder.pid <= 0) return "te is already running (" + lock_path + " is locked)";
    std::string who = "pid " + std::to_string(holder.pid);
    if (!holder.host.empty()) who += ", " + holder.host;
    return "te is already running (" + who + ")";
}
