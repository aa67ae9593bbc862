#include "snippet_files.h"

#include <QCoreApplication>
#include <QFile>

#include "engine_client.h"
#include "import_plan.h"
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

bool te_plan_import_file(const QString& path, bool keep_existing, te_import_plan* plan, QString* message) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *message = te_tr("Import failed: %1: %2").arg(path, file.errorString());
        return false;
    }
    std::string error;
    if (te_plan_import(file.readAll().toStdString(), keep_existing, plan, &error)) return true;
    *message = te_tr("Import failed: %1: %2").arg(path, QString::fromStdString(error));
    return false;
}

bool te_run_import_plan(const QString& path, const te_import_plan& plan, bool keep_existing, QString* message,
                        bool* problems) {
    std::string error;
    if (te_run_import(plan, &error) < 0) {
        *message = te_tr("Import failed: %1: %2").arg(path, QString::fromStdString(error));
        return false;
    }
    QString left_out = QString::fromStdString(te_import_problems(plan));
    *problems = !left_out.isEmpty();
    bool stored = !plan.added.empty() || !plan.replaced.empty();
    if (!stored && *problems) {
        *message = te_tr("Import failed: %1: nothing imported: %2").arg(path, left_out);
        return false;
    }
    *message = te_tr("Imported from %1: %2.").arg(path, QString::fromStdString(te_import_summary(plan, keep_existing)));
    if (*problems) *message += te_tr(" Not imported: %1").arg(left_out);
    return true;
}
