#include "settings_options.h"

#include <cstdlib>

#include <yyjson.h>

namespace {

// Sets or (for "default") removes one setting in the settings object.
void te_apply(yyjson_mut_doc* doc, yyjson_mut_val* settings, const char* name, const std::string& value,
              bool is_flag) {
    if (value.empty()) return;
    yyjson_mut_obj_remove_key(settings, name);
    if (value == "default") return;
    yyjson_mut_val* key = yyjson_mut_strcpy(doc, name);
    yyjson_mut_val* v = is_flag ? yyjson_mut_bool(doc, value == "on") : yyjson_mut_strncpy(doc, value.data(), value.size());
    yyjson_mut_obj_add(settings, key, v);
}

// The settings in the order the library writes them, so that an unchanged
// snippet is written as it was.
void te_reorder(yyjson_mut_doc* doc, yyjson_mut_val* settings) {
    for (const char* name : {"propagate_case", "word_triggers", "locale"}) {
        yyjson_mut_val* v = yyjson_mut_obj_remove_key(settings, name);
        if (v) yyjson_mut_obj_add(settings, yyjson_mut_strcpy(doc, name), v);
    }
}

void te_apply_settings(yyjson_mut_doc* doc, yyjson_mut_val* snippet, const te_settings_options& o) {
    yyjson_mut_val* settings = yyjson_mut_obj_get(snippet, "settings");
    if (!yyjson_mut_is_obj(settings)) {
        yyjson_mut_obj_remove_key(snippet, "settings");
        settings = yyjson_mut_obj(doc);
        yyjson_mut_obj_add(snippet, yyjson_mut_strcpy(doc, "settings"), settings);
    }
    te_apply(doc, settings, "propagate_case", o.propagate_case, true);
    te_apply(doc, settings, "word_triggers", o.word_triggers, true);
    te_apply(doc, settings, "locale", o.locale, false);
    te_reorder(doc, settings);
    if (yyjson_mut_obj_size(settings) == 0) yyjson_mut_obj_remove_key(snippet, "settings");
}

}  // namespace

void te_add_settings_options(CLI::App* sub, te_settings_options& o, bool can_drop) {
    std::vector<std::string> flags{"on", "off"};
    if (can_drop) flags.push_back("default");
    const char* also = can_drop ? "; default: as for all snippets" : "";
    sub->add_option("--propagate-case", o.propagate_case,
                    std::string("on: typed as Btw or BTW, the text comes with a first capital or in capitals") + also)
        ->check(CLI::IsMember(flags))
        ->type_name("on|off");
    sub->add_option("--word-triggers", o.word_triggers,
                    std::string("on: expands only once a space, punctuation, Enter or Tab follows it") + also)
        ->check(CLI::IsMember(flags))
        ->type_name("on|off");
    sub->add_option("--locale", o.locale,
                    std::string("Month and day names of its dates, e.g. de_DE") + (can_drop ? " (default: drop it)" : ""))
        ->type_name("LOCALE");
}

std::string te_snippet_changed(const std::string& snippet_json, const std::string* text, const te_settings_options& o) {
    yyjson_doc* in = yyjson_read(snippet_json.data(), snippet_json.size(), 0);
    yyjson_mut_doc* doc = in ? yyjson_doc_mut_copy(in, nullptr) : nullptr;
    yyjson_doc_free(in);
    yyjson_mut_val* snippet = doc ? yyjson_mut_doc_get_root(doc) : nullptr;
    std::string out;
    if (yyjson_mut_is_obj(snippet)) {
        if (text) yyjson_mut_obj_put(snippet, yyjson_mut_strcpy(doc, "text"), yyjson_mut_strncpy(doc, text->data(), text->size()));
        if (o.given()) te_apply_settings(doc, snippet, o);
        char* written = yyjson_mut_write(doc, 0, nullptr);
        if (written) out = written;
        std::free(written);
    }
    yyjson_mut_doc_free(doc);
    return out;
}
