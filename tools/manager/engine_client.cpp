#include "engine_client.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "plain_words.h"
#include "textexpander.h"

namespace {

QString te_text(const char* s) { return s ? QString::fromUtf8(s) : QString(); }

// The last error in the words the hosts show (plain_words.h).
QString te_error_text() { return QString::fromStdString(te_plain_words(te_last_error())); }

QJsonDocument te_parse(const char* text) {
    return text ? QJsonDocument::fromJson(QByteArray(text)) : QJsonDocument();
}

int te_setting_of(const QJsonObject& settings, const char* name) {
    QJsonValue v = settings.value(QLatin1String(name));
    return v.isBool() ? (v.toBool() ? 1 : 0) : -1;
}

}  // namespace

te_snippet_row te_snippet_row_of(const QJsonObject& o) {
    te_snippet_row row{o.value("trigger").toString(), o.value("folder").toString(), o.value("apps").toString(),
                       o.value("text").toString()};
    QJsonObject settings = o.value("settings").toObject();
    row.propagate_case = te_setting_of(settings, "propagate_case");
    row.word_triggers = te_setting_of(settings, "word_triggers");
    row.locale = settings.value("locale").toString();
    return row;
}

bool operator==(const te_snippet_row& a, const te_snippet_row& b) {
    return a.trigger == b.trigger && a.folder == b.folder && a.apps == b.apps && a.text == b.text &&
           a.propagate_case == b.propagate_case && a.word_triggers == b.word_triggers && a.locale == b.locale;
}

bool te_read_snippets(std::vector<te_snippet_row>* out, QString* error) {
    const char* text = te_snippets_json();
    if (!text) {
        *error = te_error_text();
        return false;
    }
    QJsonValue list = te_parse(text).object().value("snippets");
    if (!list.isArray()) {
        *error = QStringLiteral("the library returned an unreadable snippet table");
        return false;
    }
    const QJsonArray array = list.toArray();
    out->clear();
    out->reserve((std::size_t)array.size());
    for (const QJsonValue& v : array) out->push_back(te_snippet_row_of(v.toObject()));
    return true;
}

int te_snippet_total() { return te_snippet_count(); }

QJsonObject te_snippet_object(const te_snippet_row& row) {
    QJsonObject o{{"trigger", row.trigger}, {"text", row.text}, {"folder", row.folder}, {"apps", row.apps}};
    QJsonObject settings;
    if (row.propagate_case >= 0) settings.insert("propagate_case", row.propagate_case == 1);
    if (row.word_triggers >= 0) settings.insert("word_triggers", row.word_triggers == 1);
    if (!row.locale.isEmpty()) settings.insert("locale", row.locale);
    if (!settings.isEmpty()) o.insert("settings", settings);
    return o;
}

QByteArray te_snippet_object_json(const te_snippet_row& row) {
    return QJsonDocument(te_snippet_object(row)).toJson(QJsonDocument::Compact);
}

bool te_save_snippet(const QString& original_trigger, const te_snippet_row& row, const te_snippet_row* expected,
                     QString* error, QString* field) {
    QJsonObject o = te_snippet_object(row);
    if (expected) o.insert("if_unchanged", te_snippet_object(*expected));
    QByteArray json = QJsonDocument(o).toJson(QJsonDocument::Compact);
    int ok = original_trigger.isEmpty()
                 ? te_snippet_add(json.constData())
                 : te_snippet_update(original_trigger.toUtf8().constData(), json.constData());
    if (!ok && field) *field = QString::fromStdString(te_message_field(te_last_error()));
    if (!ok) *error = te_error_text();
    return ok == 1;
}

bool te_remove_snippet(const QString& trigger, QString* error) {
    if (te_snippet_delete(trigger.toUtf8().constData()) == 1) return true;
    *error = te_error_text();
    return false;
}

QString te_render_text(const QString& tmpl) { return te_text(te_render(tmpl.toUtf8().constData())); }

std::vector<te_rule_row> te_read_rules() {
    std::vector<te_rule_row> rules;
    const QJsonArray array = te_parse(te_rules_json()).array();
    for (const QJsonValue& v : array) {
        QJsonObject o = v.toObject();
        rules.push_back(te_rule_row{o.value("process").toString(), o.value("allow").toInt(1) != 0,
                                    o.value("prefix").toString()});
    }
    return rules;
}

QByteArray te_rule_settings_json(const te_rule_row& rule) {
    QJsonObject settings{{"allow", rule.allow}, {"prefix", rule.prefix}};
    return QJsonDocument(settings).toJson(QJsonDocument::Compact);
}

te_stats_view te_read_stats() {
    te_stats_view s;
    QJsonObject o = te_parse(te_stats_json()).object();
    s.expanded = (long long)o.value("expanded").toDouble();
    s.today = (long long)o.value("today").toDouble();
    s.last_trigger = o.value("last_trigger").toString();
    s.last_app = o.value("last_app").toString();
    s.running = o.value("running").toBool();
    s.last_text = te_text(te_last_expanded());
    return s;
}

QByteArray te_export_text(QString* error) {
    const char* text = te_snippets_json();
    if (!text) *error = te_error_text();
    return text ? QByteArray(text) : QByteArray();
}

bool te_fetch_snippet(const QString& trigger, te_snippet_row* out) {
    const char* json = te_snippet_json(trigger.toUtf8().constData());
    if (!json) return false;
    *out = te_snippet_row_of(te_parse(json).object());
    return true;
}
