#pragma once

// How an analysis run ends, shared by the DSP tab and corvin-dsp analyze: a cancelled run is
// reported as cancelled even when the job happened to finish; a complete one has its report
// moved to its own folder (or kept in the working folder when that fails); anything else
// failed. UI-free.

#include "dspjob.h"

#include <QString>
#include <QStringList>

class QDateTime;
class ReportWorkspace;

struct DspRunOutcome
{
    enum class Kind {
        Cancelled,
        Saved,        // the report is in its own folder
        SavedInPlace, // the report could not be moved and stays in the kept working folder
        Failed,
    };

    Kind kind = Kind::Failed;
    QString reportFolder; // Saved, SavedInPlace: the folder holding "report.html"
    QString message;      // the final console and log line, translated
    QStringList summary;  // Saved: the result lines read back from "summary.json"

    bool hasNewResult() const { return kind == Kind::Saved || kind == Kind::SavedInPlace; }
};

// Decides the outcome of a finished job and, when its outputs are complete, moves the report
// with workspace.moveReport(localTime, pid).
DspRunOutcome finishDspRun(ReportWorkspace &workspace, const DspRunResult &run,
                           bool cancelRequested, const QDateTime &localTime, qint64 pid);

// The console lines for a report folder's "summary.json", as the file has them:
// "%1 period(s) and %2 event(s), channel %3." and one "%1 ms interval, %2 Hz audio, %3 pulses."
// per train. A value the file lacks reads "--"; an unreadable file gives no lines.
QStringList readSummaryLines(const QString &reportFolder);
