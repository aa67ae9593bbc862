// Expansion statistics and the last expanded text.
#include <cstdlib>
#include <cstring>

#include <yyjson.h>

#include "engine.h"
#include "expansion.h"
#include "snippet_parse.h"
#include "textexpander.h"

int te_local_date(void) {
    struct tm t;
    std::memset(&t, 0, sizeof t);
    now_local(&t);
    return (t.tm_year + 1900) * 10000 + (t.tm_mon + 1) * 100 + t.tm_mday;
}

void record_expansion(const char* trigger, const char* expanded_text, const char* process) {
    int date = te_local_date();
    te_engine_guard g(te_engine_lock);
    E.expanded++;
    if (date != E.today_date) {
        E.today_date = date;
        E.today = 0;
    }
    E.today++;
    if (trigger) te_copy_cut(E.last_trigger, TE_LAST_CAP, trigger);
    if (process) te_copy_utf8_repaired(E.last_app, TE_LAST_CAP, process);
    te_copy_cut(E.last_expanded, TE_TEXT_CAP, expanded_text);
}

namespace {

// The statistics document, one consistent snapshot. Lock held.
char* te_stats_write_locked(int date, std::size_t* len) {
    yyjson_mut_doc* doc = yyjson_mut_doc_new(nullptr);
    if (!doc) return nullptr;
    yyjson_mut_val* root = yyjson_mut_obj(doc);
    std::int64_t today = date == E.today_date ? E.today : 0;
    bool ok = root && yyjson_mut_obj_add_sint(doc, root, "expanded", E.expanded) &&
              yyjson_mut_obj_add_sint(doc, root, "today", today) &&
              yyjson_mut_obj_add_str(doc, root, "last_trigger", E.last_trigger) &&
              yyjson_mut_obj_add_str(doc, root, "last_app", E.last_app) &&
              yyjson_mut_obj_add_bool(doc, root, "running", E.running.load() != 0) &&
              yyjson_mut_obj_add_int(doc, root, "snippets", E.snippet_count);
    return te_json_write_and_free(doc, ok ? root : nullptr, len);
}

}  // namespace

extern "C" const char* te_stats_json(void) {
    int date = te_local_date();
    std::size_t len = 0;
    char* text;
    {
        te_engine_guard g(te_engine_lock);
        text = te_stats_write_locked(date, &len);
    }
    return te_tb_take_internal(text, len);
}

extern "C" const char* te_last_expanded(void) {
    te_engine_guard g(te_engine_lock);
    const char* out = te_tb_internal(E.last_expanded);
    return out ? out : "";
}
