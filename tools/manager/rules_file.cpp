#include "rules_file.h"

#include <string>

#include "../common/rules_file.h"

QString te_rules_file_path(const QString& store_path) {
    return QString::fromStdString(te_rules_file_path(store_path.toStdString()));
}

bool te_rule_is_neutral(const te_rule_row& rule) { return rule.allow && rule.prefix.isEmpty(); }

std::vector<te_rule_row> te_effective_rules() {
    std::vector<te_rule_row> rules;
    for (const te_rule_row& r : te_read_rules())
        if (!te_rule_is_neutral(r)) rules.push_back(r);
    return rules;
}

bool te_set_rule_in_file(const QString& path, const te_rule_row& rule, QString* error) {
    std::string message;
    if (te_rules_file_set(path.toStdString(), rule.process.toStdString(), te_rule_settings_json(rule).constData(),
                          &message))
        return true;
    *error = QString::fromStdString(message);
    return false;
}

bool te_apply_rules_file(const QString& path, QString* error) {
    std::string message;
    if (te_rules_file_apply(path.toStdString(), &message)) return true;
    *error = QString::fromStdString(message);
    return false;
}
