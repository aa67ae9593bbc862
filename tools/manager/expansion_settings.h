// The settings for all snippets the window's engine runs with, kept in
// "manager.json" beside the store with the mode (mode_choice.h), as the
// members "propagate_case", "word_triggers", "undo_backspace" (booleans)
// and "locale" (a string, "" the user's), the other members kept.
#ifndef TE_MANAGER_EXPANSION_SETTINGS_H
#define TE_MANAGER_EXPANSION_SETTINGS_H

#include <QJsonObject>
#include <QString>

struct te_expansion_settings {
    bool propagate_case = false;
    bool word_triggers = false;
    bool undo_backspace = true;
    QString locale;
};
bool operator==(const te_expansion_settings& a, const te_expansion_settings& b);

// The kept settings; the engine's defaults where the file says nothing.
te_expansion_settings te_read_expansion_settings(const QString& path);
// Keeps `s` in the file. False with the reason.
bool te_keep_expansion_settings(const QString& path, const te_expansion_settings& s, QString* error);
// Adds them to a te_start configuration.
void te_add_expansion_settings(QJsonObject* config, const te_expansion_settings& s);

#endif
