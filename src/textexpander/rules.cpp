// Per-program rules: expansion allowed or not, and a prefix the triggers
// used there must begin with. Kept in memory only.
#include <cstdlib>
#include <cstring>

#include "engine.h"
#include "json_lookup.h"
#include "snippet_parse.h"
#include "textexpander.h"

namespace {

// Builds the rule from the settings object; 1 when valid.
int te_rule_from_json(const char* process, const char* json, TeRule* rule) {
    yyjson_doc* doc = te_json_parse(json);
    if (!doc) {
        te_set_err_internal("rule json parse failed");
        return 0;
    }
    yyjson_val* root = yyjson_doc_get_root(doc);
    if (!yyjson_is_obj(root)) {
        yyjson_doc_free(doc);
        te_set_err_internal("rule must be a JSON object");
        return 0;
    }
    std::memset(rule, 0, sizeof *rule);
    te_copy_cut(rule->process, TE_PROCESS_CAP, process);
    te_ascii_upper(rule->process);
    rule->allow = jbool(root, "allow", 1);
    const char* prefix = jstr(root, "prefix");
    te_copy_cut(rule->prefix, TE_PREFIX_CAP, prefix ? prefix : "");
    yyjson_doc_free(doc);
    return 1;
}

int te_rule_set_locked(const char* process, const char* json) {
    if (!process || !process[0]) {
        te_set_err_internal("rule: null process");
        return 0;
    }
    if (!te_utf8_valid(process, std::strlen(process))) {
        te_set_err_internal("rule: invalid UTF-8");
        return 0;
    }
    TeRule rule;
    if (!te_rule_from_json(process, json ? json : "{}", &rule)) return 0;
    for (int i = 0; i < E.rule_count; i++) {
        if (te_ascii_casecmp(E.rules[i].process, rule.process) == 0) {
            E.rules[i] = rule;
            return 1;
        }
    }
    if (E.rule_count >= TE_MAX_RULES) {
        te_set_err_internal("rule limit reached");
        return 0;
    }
    E.rules[E.rule_count++] = rule;
    return 1;
}

char* te_rules_write_locked(std::size_t* len) {
    yyjson_mut_doc* doc = yyjson_mut_doc_new(nullptr);
    if (!doc) return nullptr;
    yyjson_mut_val* arr = yyjson_mut_arr(doc);
    bool ok = arr != nullptr;
    for (int i = 0; ok && i < E.rule_count; i++) {
        yyjson_mut_val* obj = yyjson_mut_arr_add_obj(doc, arr);
        ok = obj && yyjson_mut_obj_add_str(doc, obj, "process", E.rules[i].process) &&
             yyjson_mut_obj_add_int(doc, obj, "allow", E.rules[i].allow ? 1 : 0) &&
             yyjson_mut_obj_add_str(doc, obj, "prefix", E.rules[i].prefix);
    }
    return te_json_write_and_free(doc, ok ? arr : nullptr, len);
}

}  // namespace

extern "C" int te_rule_set(const char* process, const char* json) {
    te_engine_guard g(te_engine_lock);
    te_load_defaults();
    return te_rule_set_locked(process, json);
}

extern "C" const char* te_rules_json(void) {
    std::size_t len = 0;
    char* text;
    {
        te_engine_guard g(te_engine_lock);
        te_load_defaults();
        text = te_rules_write_locked(&len);
    }
    return te_tb_take_internal(text, len);
}
