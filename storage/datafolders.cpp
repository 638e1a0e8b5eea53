#include "datafolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace {

bool isWritableFolder(const QString &folder)
{
    if (!QDir().mkpath(folder))
        return false;
    // The permission bits alone do not tell (read-only mounts, ACLs): try a file.
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".corvin-probe-XXXXXX")));
    return probe.open();
}

} // namespace

namespace DataFolders {

QString resolve(const QString &overrideDir, const QString &besideExecutable, const QString &perUser)
{
    QString chosen;
    if (!overrideDir.isEmpty()) {
        chosen = overrideDir;
        QDir().mkpath(chosen);
    } else if (!besideExecutable.isEmpty() && isWritableFolder(besideExecutable)) {
        chosen = besideExecutable;
    } else {
        chosen = perUser;
        QDir().mkpath(chosen);
    }
    return QDir::cleanPath(QDir(chosen).absolutePath());
}

QString dataFolder()
{
    static const QString folder = [] {
        const QString overrideDir = qEnvironmentVariable("CORVIN_DATA_DIR");
        const QString beside =
            QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("data"));
        const QString perUser = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
        return resolve(overrideDir, beside, perUser);
    }();
    return folder;
}

QString path(const QString &relative)
{
    const QString root = dataFolder();
    return relative.isEmpty() ? root : QDir::cleanPath(QDir(root).filePath(relative));
}

QString ensure(const QString &relative)
{
    const QString folder = path(relative);
    return QDir().mkpath(folder) ? folder : QString();
}

} // namespace DataFolders
