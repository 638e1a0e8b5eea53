#include "reportworkspace.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

ReportWorkspace::ReportWorkspace(const QString &reportsFolder)
    : m_reportsFolder(QDir::cleanPath(QDir(reportsFolder).absolutePath()))
{
    if (!QDir().mkpath(m_reportsFolder))
        return;
    m_work = std::make_unique<QTemporaryDir>(
        QDir(m_reportsFolder).filePath(QStringLiteral(".analysis-XXXXXX")));
    if (!m_work->isValid()) {
        m_work.reset();
        m_status = Status::NoWorkFolder;
        return;
    }
    m_status = Status::Ready;
}

ReportWorkspace::~ReportWorkspace() = default;

QString ReportWorkspace::statusMessage() const
{
    switch (m_status) {
    case Status::Ready:
        break;
    case Status::NoReportsFolder:
        return QCoreApplication::translate("DspRun", "Could not create the DSP report folder: %1")
            .arg(QDir::toNativeSeparators(m_reportsFolder));
    case Status::NoWorkFolder:
        return QCoreApplication::translate("DspRun", "Could not create the DSP working directory.");
    }
    return QString();
}

QString ReportWorkspace::workFolder() const
{
    return m_work ? m_work->path() : QString();
}

QString ReportWorkspace::resultFolder() const
{
    return m_work ? m_work->filePath(QStringLiteral("result")) : QString();
}

bool ReportWorkspace::outputsComplete() const
{
    if (!m_work)
        return false;
    const QDir result(resultFolder());
    for (const char *name : {"report.html", "summary.json", "events.csv"}) {
        if (!QFileInfo(result.filePath(QLatin1String(name))).isFile())
            return false;
    }
    return true;
}

QString ReportWorkspace::moveReport(const QDateTime &localTime, qint64 pid)
{
    if (!m_work)
        return QString();
    const QString target = QDir(m_reportsFolder).filePath(reportFolderName(localTime, pid));
    // A folder of that name is never replaced, even an empty one.
    if (!QFileInfo::exists(target) && QDir().rename(resultFolder(), target))
        return target;
    m_work->setAutoRemove(false);
    m_kept = true;
    return QString();
}

QString ReportWorkspace::reportFolderName(const QDateTime &localTime, qint64 pid)
{
    return QStringLiteral("report_") + localTime.toString(QStringLiteral("yyyyMMdd_HHmmss_zzz")) +
           QLatin1Char('_') + QString::number(pid);
}
