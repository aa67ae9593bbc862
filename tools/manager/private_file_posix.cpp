#include "private_file.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>

namespace {

bool te_write_all(int fd, const QByteArray& data) {
    const char* p = data.constData();
    qsizetype left = data.size();
    while (left > 0) {
        ssize_t n = ::write(fd, p, (size_t)left);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        p += n;
        left -= n;
    }
    return ::fsync(fd) == 0;
}

QString te_errno_text(const QString& path) {
    return QStringLiteral("%1: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno)));
}

}  // namespace

bool te_write_private_file(const QString& path, const QByteArray& data, QString* error) {
    QByteArray target = QFile::encodeName(path);
    QByteArray temp = target + ".XXXXXX";
    int fd = ::mkstemp(temp.data());  // created 0600, whatever the umask
    if (fd < 0) {
        *error = te_errno_text(path);
        return false;
    }
    bool ok = ::fchmod(fd, S_IRUSR | S_IWUSR) == 0 && te_write_all(fd, data);
    ok = ::close(fd) == 0 && ok;
    if (ok && ::rename(temp.constData(), target.constData()) == 0) return true;
    *error = te_errno_text(path);
    ::unlink(temp.constData());
    return false;
}
