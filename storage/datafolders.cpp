#include "datafolders.h"

#include "settingskeys.h"

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

bool isInstalledLocation(const QString &executableFolder)
{
    return QDir(executableFolder).dirName() == QLatin1String("bin");
}

QString besideExecutable(const QString &executableFolder)
{
    if (executableFolder.isEmpty() || isInstalledLocation(executableFolder))
        return QString();
    return QDir(executableFolder).filePath(QStringLiteral("data"));
}

QString perUser()
{
    // Named explicitly: the tools do not set the application's organization and name.
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
        .filePath(QString::fromLatin1(SettingsKeys::organization) + QLatin1Char('/') +
                  QString::fromLatin1(SettingsKeys::application));
}

QString dataFolder()
{
    static const QString folder = [] {
        const QString overrideDir = qEnvironmentVariable("CORVIN_DATA_DIR");
        return resolve(overrideDir, besideExecutable(QCoreApplication::applicationDirPath()),
                       perUser());
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
