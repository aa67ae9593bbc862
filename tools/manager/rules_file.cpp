#include "rules_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "snippet_files.h"

QString te_rules_file_path(const QString& store_path) {
    return QFileInfo(store_path).dir().filePath(QStringLiteral("velmora-manager-rules.json"));
}

bool te_rule_is_neutral(const te_rule_row& rule) { return rule.allow && rule.prefix.isEmpty(); }

std::vector<te_rule_row> te_effective_rules() {
    std::vector<te_rule_row> rules;
    for (const te_rule_row& r : te_read_rules())
        if (!te_rule_is_neutral(r)) rules.push_back(r);
    return rules;
}

bool te_save_rules_file(const QString& path, QString* error) {
    QJsonArray array;
    for (const te_rule_row& r : te_effective_rules())
        array.append(QJsonObject{{"process", r.process}, {"allow", r.allow}, {"prefix", r.prefix}});
    return te_save_private(path, QJsonDocument(array).toJson(QJsonDocument::Compact), error);
}

bool te_apply_rules_file(const QString& path, QString* error) {
    QFile file(path);
    if (!file.exists()) return true;
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }
    QJsonDocument doc = QJsonDocument::fromJson(file.readAll());
    if (!doc.isArray()) {
        *error = QStringLiteral("%1: not a JSON array of rules").arg(path);
        return false;
    }
    bool ok = true;
    for (const QJsonValue& v : doc.array()) {
        QJsonObject o = v.toObject();
        te_rule_row rule{o.value("process").toString(), o.value("allow").toBool(true), o.value("prefix").toString()};
        QString message;
        if (!te_apply_rule(rule, &message) && ok) {
            *error = message;
            ok = false;
        }
    }
    return ok;
}
