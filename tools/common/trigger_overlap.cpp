#include "trigger_overlap.h"

#include <cstring>

#include <yyjson.h>

#include "textexpander.h"

namespace {

struct te_listed {
    std::string trigger;
    bool waits;  // expands only once a word separator follows it
};

// The table's triggers, with whether each waits for a word separator.
std::vector<te_listed> te_listed_triggers(bool word_triggers_for_all) {
    std::vector<te_listed> out;
    const char* json = te_snippets_json();
    yyjson_doc* doc = json ? yyjson_read(json, std::strlen(json), 0) : nullptr;
    yyjson_val* list = yyjson_obj_get(yyjson_doc_get_root(doc), "snippets");
    yyjson_val* el;
    yyjson_arr_iter it = yyjson_arr_iter_with(list);
    while ((el = yyjson_arr_iter_next(&it))) {
        yyjson_val* trigger = yyjson_obj_get(el, "trigger");
        yyjson_val* own = yyjson_obj_get(yyjson_obj_get(el, "settings"), "word_triggers");
        if (yyjson_is_str(trigger))
            out.push_back({yyjson_get_str(trigger), yyjson_is_bool(own) ? yyjson_get_bool(own) : word_triggers_for_all});
    }
    yyjson_doc_free(doc);
    return out;
}

bool te_begins(const std::string& longer, const std::string& shorter) {
    return longer.size() > shorter.size() && longer.compare(0, shorter.size(), shorter) == 0;
}

bool te_named(const std::vector<std::string>& triggers, const std::string& t) {
    for (const std::string& x : triggers)
        if (x == t) return true;
    return false;
}

}  // namespace

std::vector<te_overlap> te_find_overlaps(const std::vector<std::string>& triggers, bool word_triggers_for_all) {
    std::vector<te_listed> table = te_listed_triggers(word_triggers_for_all);
    std::vector<te_overlap> out;
    for (const te_listed& shorter : table) {
        if (shorter.waits) continue;
        for (const te_listed& longer : table)
            if (te_begins(longer.trigger, shorter.trigger) &&
                (te_named(triggers, shorter.trigger) || te_named(triggers, longer.trigger)))
                out.push_back({shorter.trigger, longer.trigger});
    }
    return out;
}

std::string te_overlap_warning(const std::vector<te_overlap>& overlaps) {
    std::string out;
    for (const te_overlap& o : overlaps)
        out += (out.empty() ? "" : "\n") + o.shorter + " begins " + o.longer + ", so " + o.longer +
               " never expands: " + o.shorter + " expands on the way. Give one of them a longer trigger, or have " +
               o.shorter + " expand only after a space or punctuation (its word triggers setting).";
    return out;
}
