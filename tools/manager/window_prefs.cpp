#include "window_prefs.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>

#include "snippet_files.h"

QJsonObject te_read_manager_file(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(file.readAll()).object() : QJsonObject();
}

bool te_merge_manager_file(const QString& path, const QJsonObject& members, QString* error) {
    QJsonObject o = te_read_manager_file(path);
    for (auto it = members.begin(); it != members.end(); ++it) o.insert(it.key(), it.value());
    return te_save_private(path, QJsonDocument(o).toJson(QJsonDocument::Compact), error);
}

te_window_prefs te_read_window_prefs(const QString& path) {
    QJsonObject o = te_read_manager_file(path);
    te_window_prefs prefs;
    prefs.first_start_seen = o.value("first_start_seen").toBool(prefs.first_start_seen);
    prefs.ask_before_quit = o.value("ask_before_quit").toBool(prefs.ask_before_quit);
    QJsonArray size = o.value("window_size").toArray();
    if (size.size() == 2 && size[0].toInt() > 0 && size[1].toInt() > 0) prefs.size = QSize(size[0].toInt(), size[1].toInt());
    return prefs;
}

QSize te_window_size_for(const QSize& kept, const QSize& available) {
    QSize wanted = kept.isValid() ? kept : QSize(1100, 720);
    return wanted.boundedTo(available - QSize(16, 48)).expandedTo(QSize(320, 240));
}

bool te_keep_window_prefs(const QString& path, const te_window_prefs& prefs, QString* error) {
    QJsonObject members{{"first_start_seen", prefs.first_start_seen}, {"ask_before_quit", prefs.ask_before_quit}};
    if (prefs.size.isValid()) members.insert("window_size", QJsonArray{prefs.size.width(), prefs.size.height()});
    return te_merge_manager_file(path, members, error);
}
