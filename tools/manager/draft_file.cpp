#include "draft_file.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

#include "private_file.h"

QString te_draft_path(const QString& store_path) { return store_path + QStringLiteral(".draft"); }

bool te_keep_draft(const QString& path, const QString& stored_trigger, const te_snippet_row& fields, QString* error) {
    QJsonObject o = te_snippet_object(fields);
    o.insert("stored", stored_trigger);
    std::string message;
    std::string target = QFile::encodeName(path).toStdString();
    te_make_parent_dirs(target);
    if (te_replace_private(target, QJsonDocument(o).toJson(QJsonDocument::Compact).toStdString(), &message))
        return true;
    *error = QString::fromStdString(message);
    return false;
}

bool te_read_draft(const QString& path, QString* stored_trigger, te_snippet_row* fields) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    QJsonObject o = QJsonDocument::fromJson(file.readAll()).object();
    file.close();
    if (!o.contains("text")) return false;
    *stored_trigger = o.value("stored").toString();
    *fields = te_snippet_row_of(o);
    return true;
}

void te_drop_draft(const QString& path) { QFile::remove(path); }
