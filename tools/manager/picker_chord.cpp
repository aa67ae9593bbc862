#include "picker_chord.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

#include "hotkey_check.h"
#include "hotkey_chord.h"
#include "snippet_files.h"

const char* const TE_PICKER_CHORD_DEFAULT = "CTRL+ALT+SPACE";

namespace {

QJsonObject te_read_manager_file(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(file.readAll()).object() : QJsonObject();
}

}  // namespace

QString te_read_picker_chord(const QString& path) {
    QString chord = te_read_manager_file(path).value("picker_chord").toString().trimmed();
    return chord.isEmpty() ? QString::fromLatin1(TE_PICKER_CHORD_DEFAULT) : chord;
}

bool te_keep_picker_chord(const QString& path, const QString& chord, QString* error) {
    QJsonObject o = te_read_manager_file(path);
    o.insert("picker_chord", chord);
    return te_save_private(path, QJsonDocument(o).toJson(QJsonDocument::Compact), error);
}

bool te_same_chord(const QString& a, const QString& b) {
    te_chord x, y;
    return te_chord_parse(a.toUtf8().constData(), &x) && te_chord_parse(b.toUtf8().constData(), &y) &&
           x.mods == y.mods && x.vk == y.vk;
}

bool te_picker_chord_check(const QString& chord, const QString& hotkey, QString* error) {
    std::string message;
    if (!te_hotkey_check(chord.toStdString(), &message)) {
        *error = QString::fromStdString(message);
        return false;
    }
    if (te_same_chord(chord, hotkey)) {
        *error = QCoreApplication::translate("te_picker", "%1 is the chord of hotkey mode").arg(chord);
        return false;
    }
    return true;
}
