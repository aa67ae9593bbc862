#include "expansion_settings.h"

#include "window_prefs.h"

bool operator==(const te_expansion_settings& a, const te_expansion_settings& b) {
    return a.propagate_case == b.propagate_case && a.word_triggers == b.word_triggers &&
           a.undo_backspace == b.undo_backspace && a.locale == b.locale;
}

te_expansion_settings te_read_expansion_settings(const QString& path) {
    QJsonObject o = te_read_manager_file(path);
    te_expansion_settings s;
    s.propagate_case = o.value("propagate_case").toBool(s.propagate_case);
    s.word_triggers = o.value("word_triggers").toBool(s.word_triggers);
    s.undo_backspace = o.value("undo_backspace").toBool(s.undo_backspace);
    s.locale = o.value("locale").toString();
    return s;
}

bool te_keep_expansion_settings(const QString& path, const te_expansion_settings& s, QString* error) {
    QJsonObject o;
    te_add_expansion_settings(&o, s);
    return te_merge_manager_file(path, o, error);
}

void te_add_expansion_settings(QJsonObject* config, const te_expansion_settings& s) {
    config->insert("propagate_case", s.propagate_case);
    config->insert("word_triggers", s.word_triggers);
    config->insert("undo_backspace", s.undo_backspace);
    config->insert("locale", s.locale);
}
