#pragma once

// The folders of one analysis run. The report is written into a hidden working folder
// ".analysis-XXXXXX" inside the reports folder (the "dsp" folder of the data folder) and, once
// complete, renamed to its own folder "report_<yyyyMMdd_HHmmss_zzz>_<pid>" beside it, so a
// report folder is never seen half-written and earlier ones are never overwritten. The working
// folder disappears with its contents when the workspace is destroyed, unless moving the report
// failed: then the report stays where it is and the folder is kept. UI-free; any one thread.

#include <QString>

#include <memory>

class QDateTime;
class QTemporaryDir;

class ReportWorkspace
{
public:
    enum class Status {
        Ready,
        NoReportsFolder, // the reports folder could not be created
        NoWorkFolder,    // the working folder could not be created
    };

    // Creates reportsFolder (with parents) and a fresh working folder inside it.
    explicit ReportWorkspace(const QString &reportsFolder);
    ~ReportWorkspace();
    ReportWorkspace(const ReportWorkspace &) = delete;
    ReportWorkspace &operator=(const ReportWorkspace &) = delete;

    Status status() const { return m_status; }
    // The translated console message for a status other than Ready.
    QString statusMessage() const;

    QString reportsFolder() const { return m_reportsFolder; }
    // The working folder and its "result" sub-folder, where the job writes; empty unless Ready.
    QString workFolder() const;
    QString resultFolder() const;

    // True when "report.html", "summary.json" and "events.csv" exist in the result folder.
    bool outputsComplete() const;

    // Renames the result folder to reportFolderName(localTime, pid) inside the reports folder
    // and returns the new path. When the rename fails, returns an empty string and keeps the
    // working folder (it is no longer removed).
    QString moveReport(const QDateTime &localTime, qint64 pid);
    bool isKept() const { return m_kept; }

    static QString reportFolderName(const QDateTime &localTime, qint64 pid);

private:
    QString m_reportsFolder;
    std::unique_ptr<QTemporaryDir> m_work;
    Status m_status = Status::NoReportsFolder;
    bool m_kept = false;
};
