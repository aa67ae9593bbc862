// The manager's own rules file. The library keeps program rules only while
// it is loaded and has no call that removes one. The window therefore keeps
// the rules the user set in a file of its own beside the snippet store
// ("velmora-manager-rules.json": a JSON array of {"process","allow","prefix"},
// mode 0600) and sets them again each time it starts. A removed rule is set
// to allow expansion with no prefix, which has no effect; such neutral rules
// are neither shown nor kept in the file.
#ifndef TE_MANAGER_RULES_FILE_H
#define TE_MANAGER_RULES_FILE_H

#include <QString>
#include <vector>

#include "engine_client.h"

QString te_rules_file_path(const QString& store_path);
bool te_rule_is_neutral(const te_rule_row& rule);
// The rules of the library that have an effect.
std::vector<te_rule_row> te_effective_rules();

// Writes te_effective_rules() to the file.
bool te_save_rules_file(const QString& path, QString* error);
// Sets every rule in the file. False with the first message when the file
// is unreadable or the library refused a rule; a missing file sets none.
bool te_apply_rules_file(const QString& path, QString* error);

#endif
