#include "rfsweepcsv.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

QString RfSweepCsv::fileName(const QDateTime &localTime, qint64 processId)
{
    return QStringLiteral("sweep_%1_%2.csv")
        .arg(localTime.toString(QStringLiteral("yyyyMMdd_HHmmss_zzz")))
        .arg(processId);
}

bool RfSweepCsv::open(const QString &path, QString *error)
{
    close();
    m_file.setFileName(path);
    // A folder that cannot be created makes the open fail with the file's own error text.
    QDir().mkpath(QFileInfo(path).absolutePath());
    // Unbuffered: each line goes to the file in one write, and a line that failed is not
    // written later when the file closes.
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Text | QIODevice::Unbuffered)) {
        *error = m_file.errorString();
        return false;
    }
    if (!writeLine("frequency_hz,s_meter,attempts,status,band,mode\n", error)) {
        close();
        return false;
    }
    return true;
}

bool RfSweepCsv::writeSample(qint64 frequency, int level, int attempts, const QString &status,
                             const QString &band, const QString &mode, QString *error)
{
    QByteArray line = QByteArray::number(frequency) + ',';
    if (level >= 0)
        line += QByteArray::number(level);
    line += ',' + QByteArray::number(attempts) + ',' + status.toUtf8() + ',' + band.toUtf8() + ',' +
            mode.toUtf8() + '\n';
    return writeLine(line, error);
}

bool RfSweepCsv::writeLine(const QByteArray &line, QString *error)
{
    const qint64 written = m_file.write(line);
    if (written == line.size() && m_file.flush())
        return true;
    *error = m_file.errorString();
    return false;
}

void RfSweepCsv::close()
{
    if (m_file.isOpen())
        m_file.close();
}
