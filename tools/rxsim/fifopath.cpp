#include "fifopath.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

bool ensureFifo(const QString &path, QString *error)
{
    const QByteArray name = path.toLocal8Bit();
    struct stat info
    {};
    if (stat(name.constData(), &info) == 0) {
        if (S_ISFIFO(info.st_mode))
            return true;
        *error = QStringLiteral("%1 exists and is not a FIFO").arg(path);
        return false;
    }
    if (mkfifo(name.constData(), 0600) == 0)
        return true;
    *error = QStringLiteral("cannot create FIFO %1: %2")
                 .arg(path, QString::fromLocal8Bit(strerror(errno)));
    return false;
}
