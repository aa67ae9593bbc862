// The rules the window shows and keeps: those of the rules file the desktop
// hosts share beside the snippet store (tools/common/rules_file.h), so a
// rule set here reaches a running `te run` and `te rule` reaches the
// window. A removed rule is set to allow expansion with no prefix, which
// has no effect; such neutral rules are neither shown nor kept in the file.
#ifndef TE_MANAGER_RULES_FILE_H
#define TE_MANAGER_RULES_FILE_H

#include <QString>
#include <vector>

#include "engine_client.h"

QString te_rules_file_path(const QString& store_path);
bool te_rule_is_neutral(const te_rule_row& rule);
// The rules of the library that have an effect.
std::vector<te_rule_row> te_effective_rules();

// Sets `rule` and keeps it in the file, under the file's lock with the
// file read again first (te_rules_file_set), so a rule set meanwhile by
// `te rule` is kept too.
bool te_set_rule_in_file(const QString& path, const te_rule_row& rule, QString* error);
// Sets every rule in the file (and neutralises those it no longer has).
// False with the first message when the file is unreadable or the library
// refused a rule; a missing file sets none.
bool te_apply_rules_file(const QString& path, QString* error);

#endif
