#include "mode_choice.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

#include "hotkey_check.h"
#include "window_prefs.h"

namespace {
QString te_tr(const char* text) { return QCoreApplication::translate("te_mode_choice", text); }

bool te_known_mode(const QString& mode) {
    return mode == QLatin1String("keys") || mode == QLatin1String("clipboard") || mode == QLatin1String("hotkey");
}
}  // namespace

QString te_mode_wanted(const te_mode_choice& choice) {
    return choice.mode.isEmpty() ? QStringLiteral("keys") : choice.mode;
}

QString te_mode_title(const QString& mode, const QString& hotkey) {
    if (mode == QLatin1String("keys")) return te_tr("keys mode (typed triggers)");
    if (mode == QLatin1String("hotkey")) return te_tr("hotkey mode (%1)").arg(hotkey);
    return te_tr("%1 mode").arg(mode);
}

QString te_mode_file_path(const QString& store_path) {
    return QFileInfo(store_path).dir().filePath(QStringLiteral("manager.json"));
}

te_mode_choice te_read_mode_choice(const QString& path) {
    QJsonObject o = te_read_manager_file(path);
    te_mode_choice choice{o.value("mode").toString(), o.value("hotkey").toString()};
    if (!te_known_mode(choice.mode)) choice.mode.clear();
    return choice;
}

bool te_keep_mode_choice(const QString& path, const te_mode_choice& choice, QString* error) {
    return te_merge_manager_file(path, QJsonObject{{"mode", choice.mode}, {"hotkey", choice.hotkey}}, error);
}

bool te_mode_override(const te_mode_choice& kept, const QString& mode, const QString& hotkey, te_mode_choice* out,
                      QString* error) {
    *out = kept;
    if (!mode.isEmpty() && !te_known_mode(mode)) {
        *error = te_tr("--mode: keys, clipboard or hotkey, not %1").arg(mode);
        return false;
    }
    if (!mode.isEmpty()) out->mode = mode;
    if (!hotkey.isEmpty()) out->hotkey = hotkey;
    if (mode.isEmpty() && !hotkey.isEmpty()) out->mode = QStringLiteral("hotkey");
    std::string message;
    bool given = !mode.isEmpty() || !hotkey.isEmpty();
    if (given && out->mode == QLatin1String("hotkey") && !te_hotkey_check(out->hotkey.toStdString(), &message)) {
        *error = QStringLiteral("--hotkey: %1").arg(QString::fromStdString(message));
        return false;
    }
    return true;
}
