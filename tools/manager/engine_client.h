// The window's one door to the library. Every te_ call the manager makes
// goes through these functions, which turn the library's C strings and JSON
// texts into Qt values. The library is used through its public header only.
#ifndef TE_MANAGER_ENGINE_CLIENT_H
#define TE_MANAGER_ENGINE_CLIENT_H

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <vector>

struct te_snippet_row {
    te_snippet_row() = default;
    te_snippet_row(const QString& trigger_, const QString& folder_, const QString& apps_, const QString& text_)
        : trigger(trigger_), folder(folder_), apps(apps_), text(text_) {}

    QString trigger;
    QString folder;
    QString apps;
    QString text;
    // The snippet's own settings: 1 on, 0 off, -1 (and "" for the locale)
    // as the settings for all snippets say.
    int propagate_case = -1;
    int word_triggers = -1;
    QString locale;
};
bool operator==(const te_snippet_row& a, const te_snippet_row& b);
inline bool operator!=(const te_snippet_row& a, const te_snippet_row& b) { return !(a == b); }

struct te_rule_row {
    QString process;
    bool allow = true;
    QString prefix;
};

struct te_stats_view {
    long long expanded = 0;
    long long today = 0;
    QString last_trigger;
    QString last_app;
    QString last_text;
    bool running = false;
};

// The whole snippet table (te_snippets_json). False with the reason when the
// library returns nothing or a text of another form.
bool te_read_snippets(std::vector<te_snippet_row>* out, QString* error);

// The number of snippets in the table.
int te_snippet_total();

// The snippet object JSON the editing calls take, and its members as a
// Qt object; a row from such an object.
QByteArray te_snippet_object_json(const te_snippet_row& row);
QJsonObject te_snippet_object(const te_snippet_row& row);
te_snippet_row te_snippet_row_of(const QJsonObject& o);

// Stores `row`: te_snippet_add when `original_trigger` is empty, else
// te_snippet_update of that trigger, made only if the stored snippet is
// still `expected` (may be null: whatever it is), which the library checks
// under the store's lock. False with the library's message in plain words
// (plain_words.h), and in *field (may be null) the field it is about
// ("trigger", "text", "locale" or "").
bool te_save_snippet(const QString& original_trigger, const te_snippet_row& row, const te_snippet_row* expected,
                     QString* error, QString* field = nullptr);
bool te_remove_snippet(const QString& trigger, QString* error);

// te_render of `tmpl`; callable from any thread.
QString te_render_text(const QString& tmpl);

// The rule table (te_rules_json), in table order.
std::vector<te_rule_row> te_read_rules();
// The settings JSON te_rule_set takes for `rule`.
QByteArray te_rule_settings_json(const te_rule_row& rule);

te_stats_view te_read_stats();

// The export form of the table: the te_snippets_json text.
QByteArray te_export_text(QString* error);
// The snippet stored under `trigger` now, re-read from the store when
// another process changed it. False when there is none.
bool te_fetch_snippet(const QString& trigger, te_snippet_row* out);

#endif
