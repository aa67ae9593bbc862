// Writing a file that only its user may read. Snippets and the manager's
// rules are personal data: the file is written whole beside its final name
// and moved into place, so a reader sees the old file or the new one, and on
// POSIX the new file has mode 0600 whatever the umask. One implementation per
// platform (private_file_posix.cpp, private_file_win.cpp); the build picks it.
#ifndef TE_MANAGER_PRIVATE_FILE_H
#define TE_MANAGER_PRIVATE_FILE_H

#include <QByteArray>
#include <QString>

bool te_write_private_file(const QString& path, const QByteArray& data, QString* error);

#endif
