#include "snippet_files.h"

#include <QCoreApplication>
#include <QFile>

#include "engine_client.h"
#include "store_select.h"
#include "private_file.h"  // the hosts' shared writer of private files

namespace {
QString te_tr(const char* text) { return QCoreApplication::translate("te_snippet_files", text); }
}  // namespace

bool te_store_problem(const QString& store_path, QString* problem) {
    std::string message;
    if (te_store_readable(QFile::encodeName(store_path).toStdString(), &message)) return false;
    *problem = QString::fromStdString(message);
    return true;
}

bool te_save_private(const QString& path, const QByteArray& data, QString* error) {
    std::string target = path.toStdString();  // UTF-8, as the shared writer takes it
    std::string message;
    te_make_parent_dirs(target);
    if (te_replace_private(target, data.toStdString(), &message)) return true;
    *error = QString::fromStdString(message);
    return false;
}

bool te_export_to(const QString& store_path, const QString& path, QString* message) {
    QString error;
    QByteArray text = te_store_problem(store_path, &error) ? QByteArray() : te_export_text(&error);
    if (text.isEmpty() || !te_save_private(path, text, &error)) {
        *message = te_tr("Export failed: %1").arg(error);
        return false;
    }
    *message = te_tr("Exported %1 snippets to %2.").arg(te_snippet_total()).arg(path);
    return true;
}

bool te_import_from(const QString& path, QString* message) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *message = te_tr("Import failed: %1: %2").arg(path, file.errorString());
        return false;
    }
    QByteArray array;
    QString error;
    if (!te_import_array(file.readAll(), &array, &error)) {
        *message = te_tr("Import failed: %1: %2").arg(path, error);
        return false;
    }
    QString note;
    int added = te_import_snippets(array, &note);
    if (added < 0) {
        *message = te_tr("Import failed: %1: %2").arg(path, note);
        return false;
    }
    *message = te_tr("Imported from %1: %2 new snippets.").arg(path).arg(added);
    if (!note.isEmpty()) *message += te_tr(" Some were refused: %1").arg(note);
    return true;
}
