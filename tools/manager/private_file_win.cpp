#include "private_file.h"

#include <QSaveFile>

// Windows has no mode bits: the file takes the access list of its folder,
// which under the user's profile only that user (and administrators) can
// read. QSaveFile writes a temporary file and moves it into place.
bool te_write_private_file(const QString& path, const QByteArray& data, QString* error) {
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(data) == data.size() && file.commit()) return true;
    *error = QStringLiteral("%1: %2").arg(path, file.errorString());
    return false;
}
