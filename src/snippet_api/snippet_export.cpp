// One snippet, or the whole table, as JSON text in the caller's result
// buffer. The result buffer grows to fit, so the text is always complete.
#include <cstdlib>

#include "engine.h"
#include "snippet_parse.h"
#include "store.h"
#include "textexpander.h"

namespace {

// One snippet's written form, allocated; null when it cannot be written.
char* te_snippet_json_write(const TeSnippet* s, std::size_t* len) {
    yyjson_mut_doc* doc = yyjson_mut_doc_new(nullptr);
    if (!doc) return nullptr;
    return te_json_write_and_free(doc, te_snippet_to_json(doc, s), len);
}

}  // namespace

extern "C" const char* te_snippet_json(const char* trigger) {
    std::size_t len = 0;
    char* text = nullptr;
    store_refresh();
    {
        te_engine_guard g(te_engine_lock);
        int index = trigger ? te_snippet_find(trigger) : -1;
        if (index < 0) {
            te_set_err_internal("no such trigger: %s", trigger ? trigger : "");
            return nullptr;
        }
        text = te_snippet_json_write(&E.snippets[index], &len);
    }
    return te_tb_take_internal(text, len);
}

extern "C" const char* te_snippets_json(void) {
    std::size_t len = 0;
    char* text = nullptr;
    store_refresh();
    {
        te_engine_guard g(te_engine_lock);
        int built;
        text = te_table_json_write(&len, &built);
    }
    return te_tb_take_internal(text, len);
}
