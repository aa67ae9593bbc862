#include "snippet_parse.h"

#include <cstring>

#include "json_lookup.h"

yyjson_doc* te_json_parse(const char* text) {
    return yyjson_read(text, std::strlen(text), 0);
}

int te_parse_snippet_obj(yyjson_val* value, TeSnippet* record, te_settings_check check) {
    if (!value || !yyjson_is_obj(value)) {
        te_set_err_internal("snippet must be a JSON object");
        return 0;
    }
    const char* trigger = jstr(value, "trigger");
    if (!trigger || !trigger[0]) {
        te_set_err_internal("snippet missing 'trigger'");
        return 0;
    }
    if (std::strlen(trigger) > TE_TRIGGER_CAP - 1) {
        te_set_err_internal("trigger too long (max 255)");
        return 0;
    }
    const char* text = jstr(value, "text");
    if (!text) text = "";
    if (std::strlen(text) > TE_TEXT_CAP - 1) {
        te_set_err_internal("text too long (max 65535)");
        return 0;
    }
    const char* folder = jstr(value, "folder");
    const char* apps = jstr(value, "apps");
    te_snippet_settings settings;
    if (!te_settings_parse(value, check, &settings)) return 0;
    // Each field is written up to its NUL; bytes after it are never read.
    te_copy_cut(record->trigger, TE_TRIGGER_CAP, trigger);
    te_copy_cut(record->text, TE_TEXT_CAP, text);
    te_copy_cut(record->folder, TE_FOLDER_CAP, folder ? folder : "");
    te_copy_cut(record->apps, TE_APPS_CAP, apps ? apps : "*");
    te_settings_copy(record, settings);
    return 1;
}
