#include "integritycheck.h"

#include "datafolders.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

QString IntegrityCheck::recordPath(const QString &executablePath)
{
    const QFileInfo executable(executablePath);
    const QString name = executable.fileName() + QStringLiteral(".sha256");
    if (DataFolders::isInstalledLocation(executable.path()))
        return QDir::cleanPath(
            executable.dir().filePath(QStringLiteral(CORVIN_RECORD_DIR_FROM_BIN "/") + name));
    return executable.dir().filePath(name);
}

IntegrityCheck::Result IntegrityCheck::verify(const QString &executablePath)
{
    Result result;
    QFile executable(executablePath);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!executable.open(QIODevice::ReadOnly) || !hash.addData(&executable))
        return result;
    result.actual = QString::fromLatin1(hash.result().toHex());

    QFile record(recordPath(executablePath));
    if (record.open(QIODevice::ReadOnly)) {
        static const QRegularExpression digest(QStringLiteral("^\\s*([0-9A-Fa-f]{64})(\\s|$)"));
        const QRegularExpressionMatch match = digest.match(QString::fromLatin1(record.read(4096)));
        if (match.hasMatch())
            result.recorded = match.captured(1).toLower();
    }
    if (result.recorded.isEmpty())
        result.outcome = Outcome::RecordMissing;
    else
        result.outcome = result.recorded == result.actual ? Outcome::Matches : Outcome::Differs;
    return result;
}

QString IntegrityCheck::message(const Result &result, const QString &executablePath)
{
    const QString path = QDir::toNativeSeparators(executablePath);
    switch (result.outcome) {
    case Outcome::Matches:
        return QCoreApplication::translate("IntegrityCheck",
                                           "Program integrity verified (SHA-256 %1).")
            .arg(result.actual.left(16));
    case Outcome::Differs:
        return QCoreApplication::translate(
                   "IntegrityCheck",
                   "Warning: the program file %1 does not match its recorded SHA-256 digest. "
                   "It may have been damaged or changed since it was built.")
            .arg(path);
    case Outcome::RecordMissing:
        return QCoreApplication::translate(
                   "IntegrityCheck",
                   "Warning: no valid SHA-256 record was found for the program file %1; "
                   "its integrity could not be verified.")
            .arg(path);
    case Outcome::Unreadable:
        break;
    }
    return QCoreApplication::translate(
               "IntegrityCheck",
               "Warning: the program file %1 could not be read to verify its integrity.")
        .arg(path);
}
