// Adding, replacing and removing one snippet. Each change and its store
// write happen under the engine lock, so the file follows the changes in
// order, and under the store's cross-process lock, taken before it, after
// the table was brought up to date with the file (te_store_edit). A change
// whose write fails stays in memory; the next successful write stores it.
#include <cstring>

#include "engine.h"
#include "json_lookup.h"
#include "snippet_parse.h"
#include "store.h"
#include "textexpander.h"

namespace {

TeSnippet te_edit_scratch;  // lock held: one user at a time
TeSnippet te_edit_expected;  // an update's "if_unchanged"; lock held

// Parses `json` and converts its root into te_edit_scratch. 1 when valid.
// With `expected`, the root's "if_unchanged" member (a snippet object, the
// snippet as the host last saw it) goes into te_edit_expected and
// *expected says whether there was one.
int te_parse_one_snippet(const char* json, int* expected = nullptr) {
    yyjson_doc* doc = te_json_parse(json);
    if (!doc) {
        te_set_err_internal("snippet json parse failed");
        return 0;
    }
    yyjson_val* root = yyjson_doc_get_root(doc);
    int ok = te_parse_snippet_obj(root, &te_edit_scratch, TE_SETTINGS_REFUSE_UNKNOWN);
    yyjson_val* condition = ok && expected ? te_json_first_member(root, "if_unchanged") : nullptr;
    if (expected) *expected = condition != nullptr;
    if (condition && !te_parse_snippet_obj(condition, &te_edit_expected, TE_SETTINGS_SKIP_UNKNOWN)) {
        te_set_err_internal("update: \"if_unchanged\" must be a snippet object");
        ok = 0;
    }
    yyjson_doc_free(doc);
    return ok;
}

bool te_same_snippet(const TeSnippet& a, const TeSnippet& b) {
    return std::strcmp(a.trigger, b.trigger) == 0 && std::strcmp(a.text, b.text) == 0 &&
           std::strcmp(a.folder, b.folder) == 0 && std::strcmp(a.apps, b.apps) == 0 &&
           a.propagate_case == b.propagate_case && a.word_triggers == b.word_triggers &&
           std::strcmp(a.locale, b.locale) == 0;
}

int te_snippet_add_locked(const char* json, te_store_edit& edit) {
    if (!json || !json[0]) {
        te_set_err_internal("add: empty json");
        return 0;
    }
    if (!te_parse_one_snippet(json)) return 0;
    if (!edit.ready()) return 0;
    if (te_snippet_find(te_edit_scratch.trigger) >= 0) {
        te_set_err_internal("trigger already exists: %s", te_edit_scratch.trigger);
        return 0;
    }
    if (E.snippet_count >= TE_MAX_SNIPPETS) {
        te_set_err_internal("snippet limit reached");
        return 0;
    }
    te_snippet_put(E.snippet_count++, &te_edit_scratch);
    return te_store_write();
}

int te_snippet_update_locked(const char* trigger, const char* json, te_store_edit& edit) {
    if (!trigger || !trigger[0]) {
        te_set_err_internal("update: null trigger");
        return 0;
    }
    if (!edit.ready()) return 0;
    int index = te_snippet_find(trigger);
    if (index < 0) {
        te_set_err_internal("no such trigger: %s", trigger);
        return 0;
    }
    if (!json || !json[0]) {
        te_set_err_internal("update: empty json");
        return 0;
    }
    int expected = 0;
    if (!te_parse_one_snippet(json, &expected)) return 0;
    // Compared with the table as the file holds it now, under the store's
    // lock: no other process can change it between this look and the write.
    if (expected && !te_same_snippet(E.snippets[index], te_edit_expected)) {
        te_set_err_internal("snippet changed meanwhile: %s", trigger);
        return 0;
    }
    int other = te_snippet_find(te_edit_scratch.trigger);
    if (other >= 0 && other != index) {
        te_set_err_internal("trigger already exists: %s", te_edit_scratch.trigger);
        return 0;
    }
    te_snippet_put(index, &te_edit_scratch);
    return te_store_write();
}

int te_snippet_delete_locked(const char* trigger, te_store_edit& edit) {
    if (!trigger) {
        te_set_err_internal("delete: null trigger");
        return 0;
    }
    if (!edit.ready()) return 0;
    int index = te_snippet_find(trigger);
    if (index < 0) {
        te_set_err_internal("no such trigger: %s", trigger);
        return 0;
    }
    te_snippet_remove(index);
    return te_store_write();
}

}  // namespace

extern "C" int te_snippet_add(const char* json) {
    te_store_edit edit;
    te_engine_guard g(te_engine_lock);
    return te_snippet_add_locked(json, edit);
}

extern "C" int te_snippet_update(const char* trigger, const char* json) {
    te_store_edit edit;
    te_engine_guard g(te_engine_lock);
    return te_snippet_update_locked(trigger, json, edit);
}

extern "C" int te_snippet_delete(const char* trigger) {
    te_store_edit edit;
    te_engine_guard g(te_engine_lock);
    return te_snippet_delete_locked(trigger, edit);
}
