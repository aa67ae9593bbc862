#include "snippet_settings.h"

#include <cstring>

#include "json_lookup.h"

namespace {

const char* const TE_SETTING_NAMES[] = {"propagate_case", "word_triggers", "locale"};

bool te_known_setting(yyjson_val* key) {
    for (const char* name : TE_SETTING_NAMES)
        if (yyjson_equals_str(key, name)) return true;
    return false;
}

// A true/false setting: -1 when absent (or, skipping, of another type).
int te_flag_setting(yyjson_val* settings, const char* name, te_settings_check check, signed char* out) {
    yyjson_val* v = te_json_first_member(settings, name);
    *out = -1;
    if (yyjson_is_bool(v)) *out = yyjson_get_bool(v) ? 1 : 0;
    else if (v && check == TE_SETTINGS_REFUSE_UNKNOWN) {
        te_set_err_internal("snippet setting '%s' must be true or false", name);
        return 0;
    }
    return 1;
}

int te_locale_setting(yyjson_val* settings, te_settings_check check, char* out) {
    yyjson_val* v = te_json_first_member(settings, "locale");
    out[0] = 0;
    bool refuse = check == TE_SETTINGS_REFUSE_UNKNOWN;
    if (v && !yyjson_is_str(v)) {
        if (refuse) te_set_err_internal("snippet setting 'locale' must be a string");
        return !refuse;
    }
    const char* name = v ? yyjson_get_str(v) : "";
    if (refuse && !te_locale_check(name)) return 0;
    if (std::strlen(name) < TE_LOCALE_CAP) std::strcpy(out, name);
    return 1;
}

}  // namespace

int te_locale_check(const char* name) {
    if (std::strlen(name) >= TE_LOCALE_CAP) {
        te_set_err_internal("locale too long (max %d)", TE_LOCALE_CAP - 1);
        return 0;
    }
    te_time_names names;
    if (name[0] && !time_names(name, &names)) {
        te_set_err_internal("unknown locale: %s", name);
        return 0;
    }
    return 1;
}

void te_settings_copy(TeSnippet* record, const te_snippet_settings& settings) {
    record->propagate_case = settings.propagate_case;
    record->word_triggers = settings.word_triggers;
    std::strcpy(record->locale, settings.locale);
}

int te_settings_parse(yyjson_val* snippet, te_settings_check check, te_snippet_settings* out) {
    out->propagate_case = -1;
    out->word_triggers = -1;
    out->locale[0] = 0;
    yyjson_val* settings = te_json_first_member(snippet, "settings");
    bool refuse = check == TE_SETTINGS_REFUSE_UNKNOWN;
    if (!settings) return 1;
    if (!yyjson_is_obj(settings)) {
        if (refuse) te_set_err_internal("snippet settings must be a JSON object");
        return !refuse;
    }
    yyjson_obj_iter it = yyjson_obj_iter_with(settings);
    yyjson_val* key;
    while (refuse && (key = yyjson_obj_iter_next(&it))) {
        if (!te_known_setting(key)) {
            te_set_err_internal("unknown snippet setting: %s", yyjson_get_str(key));
            return 0;
        }
    }
    return te_flag_setting(settings, "propagate_case", check, &out->propagate_case) &&
           te_flag_setting(settings, "word_triggers", check, &out->word_triggers) &&
           te_locale_setting(settings, check, out->locale);
}

yyjson_mut_val* te_settings_to_json(yyjson_mut_doc* doc, const TeSnippet* s, int* failed) {
    if (s->propagate_case < 0 && s->word_triggers < 0 && !s->locale[0]) return nullptr;
    yyjson_mut_val* obj = yyjson_mut_obj(doc);
    bool ok = obj != nullptr;
    if (ok && s->propagate_case >= 0) ok = yyjson_mut_obj_add_bool(doc, obj, "propagate_case", s->propagate_case);
    if (ok && s->word_triggers >= 0) ok = yyjson_mut_obj_add_bool(doc, obj, "word_triggers", s->word_triggers);
    if (ok && s->locale[0]) ok = yyjson_mut_obj_add_str(doc, obj, "locale", s->locale);
    if (!ok) *failed = 1;
    return ok ? obj : nullptr;
}
