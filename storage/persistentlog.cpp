#include "persistentlog.h"

#include "datafolders.h"

#include <QDateTime>
#include <QDir>

PersistentLog::PersistentLog(QObject *parent)
    : QObject(parent)
{}

PersistentLog::~PersistentLog()
{
    close();
}

bool PersistentLog::open(const QString &folder)
{
    close();
    QDir().mkpath(folder);
    m_file.setFileName(QDir(folder).filePath(QString::fromLatin1(DataFolders::logFileName)));
    if (m_file.open(QIODevice::WriteOnly | QIODevice::Append))
        return true;
    emit screenLine(timePrefix(QDateTime::currentDateTime()) +
                    tr("Could not open the persistent log: %1").arg(m_file.errorString()));
    return false;
}

void PersistentLog::close()
{
    if (m_file.isOpen())
        m_file.close();
}

void PersistentLog::append(const QString &message)
{
    appendAt(message, QDateTime::currentDateTime());
}

QString PersistentLog::timePrefix(const QDateTime &now)
{
    return QStringLiteral("[%1] ").arg(now.toString(QStringLiteral("HH:mm:ss.zzz")));
}

QStringList PersistentLog::messageParts(const QString &message)
{
    const QString trimmed = message.trimmed();
    if (trimmed.isEmpty())
        return {};
    QStringList parts = trimmed.split(QLatin1Char('\n'));
    for (QString &part : parts)
        part = part.trimmed();
    return parts;
}

void PersistentLog::appendAt(const QString &message, const QDateTime &now)
{
    const QStringList parts = messageParts(message);
    if (parts.isEmpty())
        return;
    const QString prefix = timePrefix(now);
    for (const QString &part : parts)
        emit screenLine(prefix + part);

    if (!m_file.isOpen())
        return;
    const QString filePrefix = now.toString(QStringLiteral("yyyy-MM-dd ")) + prefix;
    QString text;
    for (const QString &part : parts)
        text += filePrefix + part + QLatin1Char('\n');
    const QByteArray bytes = text.toUtf8();
    const qint64 written = m_file.write(bytes);
    if (written == bytes.size() && m_file.flush())
        return;
    const QString error = m_file.errorString();
    m_file.close();
    emit screenLine(prefix + tr("Could not write the persistent log: %1").arg(error));
}
