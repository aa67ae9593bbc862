// The small JSON texts te builds and reads, through yyjson.
#include "json_text.h"

#include <cstdlib>

#include <yyjson.h>

te_json_builder::te_json_builder() : doc_(yyjson_mut_doc_new(nullptr)), root_(nullptr) {
    if (!doc_) return;
    root_ = yyjson_mut_obj(doc_);
    yyjson_mut_doc_set_root(doc_, root_);
}

te_json_builder::~te_json_builder() { yyjson_mut_doc_free(doc_); }

void te_json_builder::add(const char* key, const std::string& value) {
    if (root_) yyjson_mut_obj_add_strncpy(doc_, root_, key, value.data(), value.size());
}

void te_json_builder::add(const char* key, long long value) {
    if (root_) yyjson_mut_obj_add_int(doc_, root_, key, value);
}

void te_json_builder::add(const char* key, bool value) {
    if (root_) yyjson_mut_obj_add_bool(doc_, root_, key, value);
}

std::string te_json_builder::text() const {
    char* written = root_ ? yyjson_mut_write(doc_, 0, nullptr) : nullptr;
    std::string out = written ? written : "";
    std::free(written);
    return out;
}

te_json_object::te_json_object(const char* text) : doc_(nullptr), root_(nullptr) {
    if (text) doc_ = yyjson_read(text, std::char_traits<char>::length(text), 0);
    yyjson_val* root = yyjson_doc_get_root(doc_);
    if (yyjson_is_obj(root)) root_ = root;
}

te_json_object::~te_json_object() { yyjson_doc_free(doc_); }

bool te_json_object::valid() const { return root_ != nullptr; }

bool te_json_object::has(const char* key) const { return root_ && yyjson_obj_get(root_, key) != nullptr; }

std::string te_json_object::str(const char* key, const std::string& fallback) const {
    yyjson_val* v = root_ ? yyjson_obj_get(root_, key) : nullptr;
    return yyjson_is_str(v) ? std::string(yyjson_get_str(v), yyjson_get_len(v)) : fallback;
}

long long te_json_object::num(const char* key, long long fallback) const {
    yyjson_val* v = root_ ? yyjson_obj_get(root_, key) : nullptr;
    return yyjson_is_int(v) ? (long long)yyjson_get_sint(v) : fallback;
}

std::string te_snippet_object(const std::string& trigger, const std::string& text, const std::string* folder,
                              const std::string* apps) {
    te_json_builder b;
    b.add("trigger", trigger);
    b.add("text", text);
    if (folder) b.add("folder", *folder);
    if (apps) b.add("apps", *apps);
    return b.text();
}

std::string te_json_with_member(const std::string& object, const char* key, const std::string& value) {
    yyjson_doc* base = yyjson_read(object.data(), object.size(), 0);
    yyjson_doc* member = yyjson_read(value.data(), value.size(), 0);
    yyjson_mut_doc* doc = base && member ? yyjson_doc_mut_copy(base, nullptr) : nullptr;
    yyjson_mut_val* root = yyjson_mut_doc_get_root(doc);
    char* written = nullptr;
    if (yyjson_mut_is_obj(root)) {
        yyjson_mut_obj_add_val(doc, root, key, yyjson_val_mut_copy(doc, yyjson_doc_get_root(member)));
        written = yyjson_mut_write(doc, 0, nullptr);
    }
    std::string out = written ? written : "";
    std::free(written);
    yyjson_mut_doc_free(doc);
    yyjson_doc_free(member);
    yyjson_doc_free(base);
    return out;
}
