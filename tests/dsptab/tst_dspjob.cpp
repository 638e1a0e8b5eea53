#include "dsprunfinish.h"
#include "reportworkspace.h"
#include "testsignals.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

// The analysis job and how its run ends: report folders, cancellation at every phase, a report
// that cannot be moved, failures, and the summary read back from disk.
class TestDspJob : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_wav;

    DspJob jobFor(const ReportWorkspace &workspace, double lowHz = 80.0) const;
    static QStringList entries(const QString &folder);

private slots:
    void initTestCase();
    void completeRunsGetTheirOwnFolders();
    void cancelledRunLeavesNothing_data();
    void cancelledRunLeavesNothing();
    void reportThatCannotMoveStaysInTheWorkFolder();
    void failures();
    void reportsFolderThatCannotBeCreated();
    void summaryShowsWhatTheFileHas();
};

void TestDspJob::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_wav = m_dir.filePath("pulses.wav");
    QVERIFY(TestSignals::writePulsedWav(m_wav, 8000, 3.0, 0.5));
}

DspJob TestDspJob::jobFor(const ReportWorkspace &workspace, double lowHz) const
{
    DspJob job;
    job.request.wavPath = QFile::encodeName(m_wav).toStdString();
    job.request.lowHz = lowHz;
    job.request.highHz = 3000.0;
    job.wavPath = m_wav;
    job.resultFolder = workspace.resultFolder();
    return job;
}

QStringList TestDspJob::entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

void TestDspJob::completeRunsGetTheirOwnFolders()
{
    const QString reports = m_dir.filePath("complete/dsp");
    QStringList folders;
    for (int run = 0; run < 2; ++run) {
        ReportWorkspace workspace(reports);
        QCOMPARE(workspace.status(), ReportWorkspace::Status::Ready);
        QVERIFY(QFileInfo(workspace.workFolder()).fileName().startsWith(".analysis-"));
        const DspJob job = jobFor(workspace);
        QVector<int> steps;
        QString reportStage;
        const DspRunResult result = runDspJob(job, [&](int percent, const std::string &text) {
            steps.append(percent);
            if (percent == reportPhasePercent)
                reportStage = QString::fromStdString(text);
        });
        QVERIFY2(result.ok, qPrintable(result.error));
        QVERIFY(result.result);
        QCOMPARE(job.progress->load(), 100);
        QCOMPARE(steps.front(), 2);
        QCOMPARE(steps.back(), reportPhasePercent);
        QCOMPARE(reportStage, QString("Writing HTML, SVG/PNG, CSV, JSON and filtered WAV..."));

        const DspRunOutcome outcome =
            finishDspRun(workspace, result, false, QDateTime::currentDateTime(),
                         QCoreApplication::applicationPid());
        QCOMPARE(outcome.kind, DspRunOutcome::Kind::Saved);
        QVERIFY(outcome.hasNewResult());
        QVERIFY(
            QRegularExpression(
                QString("^report_\\d{8}_\\d{6}_\\d{3}_%1$").arg(QCoreApplication::applicationPid()))
                .match(QFileInfo(outcome.reportFolder).fileName())
                .hasMatch());
        QCOMPARE(outcome.message, "Native DSP report saved: " + outcome.reportFolder);
        QVERIFY(QFile::exists(outcome.reportFolder + "/report.html"));
        QVERIFY(!outcome.summary.isEmpty());
        QVERIFY2(QRegularExpression("^\\d+ period\\(s\\) and \\d+ event\\(s\\), channel 1\\.$")
                     .match(outcome.summary.front())
                     .hasMatch(),
                 qPrintable(outcome.summary.front()));
        folders << outcome.reportFolder;
        QTest::qWait(2); // the folder names differ by their milliseconds at least
    }
    // Two runs, two report folders, and no working folder left behind.
    QVERIFY(folders[0] != folders[1]);
    QCOMPARE(entries(reports),
             QStringList({QFileInfo(folders[0]).fileName(), QFileInfo(folders[1]).fileName()}));
}

void TestDspJob::cancelledRunLeavesNothing_data()
{
    QTest::addColumn<int>("cancelAt"); // progress step at which Cancel is pressed; -1 before,
                                       // 101 after the job finished
    QTest::addColumn<bool>("jobSucceeds");
    QTest::newRow("before the start") << -1 << false;
    QTest::newRow("during the analysis") << 15 << false;
    QTest::newRow("during the report") << reportPhasePercent << false;
    QTest::newRow("after the job finished") << 101 << true;
}

void TestDspJob::cancelledRunLeavesNothing()
{
    QFETCH(int, cancelAt);
    QFETCH(bool, jobSucceeds);
    const QString reports = m_dir.filePath(QString("cancel%1/dsp").arg(cancelAt));
    {
        ReportWorkspace workspace(reports);
        const DspJob job = jobFor(workspace);
        if (cancelAt < 0)
            job.cancel->store(true);
        const DspRunResult result = runDspJob(job, [&](int percent, const std::string &) {
            if (percent == cancelAt)
                job.cancel->store(true);
        });
        QCOMPARE(result.ok, jobSucceeds);
        if (!jobSucceeds) {
            QCOMPARE(result.error, QString("Analysis cancelled"));
            QVERIFY(!result.result);
        }
        const DspRunOutcome outcome =
            finishDspRun(workspace, result, true, QDateTime::currentDateTime(), 1);
        QCOMPARE(outcome.kind, DspRunOutcome::Kind::Cancelled);
        QVERIFY(!outcome.hasNewResult());
        QCOMPARE(outcome.message, QString("DSP analysis cancelled."));
        QVERIFY(outcome.reportFolder.isEmpty());
    }
    QCOMPARE(entries(reports), QStringList());
}

void TestDspJob::reportThatCannotMoveStaysInTheWorkFolder()
{
    const QString reports = m_dir.filePath("blocked/dsp");
    const QDateTime when(QDate(2024, 5, 6), QTime(7, 8, 9, 10));
    const QString target = reports + "/" + ReportWorkspace::reportFolderName(when, 42);
    QCOMPARE(QFileInfo(target).fileName(), QString("report_20240506_070809_010_42"));
    QString workFolder;
    {
        ReportWorkspace workspace(reports);
        // A folder of the report's name is already there: the rename must not replace it.
        QVERIFY(QDir().mkpath(target + "/other"));
        const DspRunResult result = runDspJob(jobFor(workspace));
        QVERIFY(result.ok);
        const DspRunOutcome outcome = finishDspRun(workspace, result, false, when, 42);
        QCOMPARE(outcome.kind, DspRunOutcome::Kind::SavedInPlace);
        QVERIFY(outcome.hasNewResult());
        QCOMPARE(outcome.reportFolder, workspace.resultFolder());
        QCOMPARE(outcome.message,
                 "Could not move report; it is available in " + outcome.reportFolder + ".");
        QVERIFY(workspace.isKept());
        workFolder = workspace.workFolder();
    }
    QVERIFY(QFile::exists(workFolder + "/result/report.html"));
    QCOMPARE(entries(target), QStringList({"other"}));
}

void TestDspJob::failures()
{
    const QString reports = m_dir.filePath("failures/dsp");
    {
        ReportWorkspace workspace(reports);
        const DspRunResult result = runDspJob(jobFor(workspace, 5000.0));
        QVERIFY(!result.ok);
        const DspRunOutcome outcome =
            finishDspRun(workspace, result, false, QDateTime::currentDateTime(), 1);
        QCOMPARE(outcome.kind, DspRunOutcome::Kind::Failed);
        QCOMPARE(outcome.message, QString("Native DSP analysis failed: Invalid analysis "
                                          "range/contrast"));
    }
    {
        // A job that says it succeeded but whose report lacks a main file failed.
        ReportWorkspace workspace(reports);
        const DspRunResult result = runDspJob(jobFor(workspace));
        QVERIFY(result.ok);
        QVERIFY(QFile::remove(workspace.resultFolder() + "/events.csv"));
        QVERIFY(!workspace.outputsComplete());
        const DspRunOutcome outcome =
            finishDspRun(workspace, result, false, QDateTime::currentDateTime(), 1);
        QCOMPARE(outcome.kind, DspRunOutcome::Kind::Failed);
        QCOMPARE(outcome.message, QString("Native DSP analysis failed: Missing report output"));
    }
    QCOMPARE(entries(reports), QStringList());
}

void TestDspJob::reportsFolderThatCannotBeCreated()
{
    QFile blocker(m_dir.filePath("file"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const ReportWorkspace workspace(blocker.fileName() + "/dsp");
    QCOMPARE(workspace.status(), ReportWorkspace::Status::NoReportsFolder);
    QCOMPARE(workspace.statusMessage(),
             "Could not create the DSP report folder: " + blocker.fileName() + "/dsp");
    QVERIFY(workspace.resultFolder().isEmpty());
    QVERIFY(!workspace.outputsComplete());
}

void TestDspJob::summaryShowsWhatTheFileHas()
{
    const QString folder = m_dir.filePath("summary");
    QVERIFY(QDir().mkpath(folder));
    QFile file(folder + "/summary.json");
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(R"({"channel_used": 2, "event_count": 7, "trains": [
        {"count": 5, "period_ms": 250.456, "peak_audio_hz": 1000.4},
        {"count": 2, "period_ms": 600, "peak_audio_hz": null}]})");
    file.close();
    QCOMPARE(readSummaryLines(folder), QStringList({"2 period(s) and 7 event(s), channel 2.",
                                                    "250.46 ms interval, 1000 Hz audio, 5 pulses.",
                                                    "600.00 ms interval, -- Hz audio, 2 pulses."}));

    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("{\"event_count\": 0}");
    file.close();
    QCOMPARE(readSummaryLines(folder), QStringList({"-- period(s) and 0 event(s), channel --."}));

    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("not json");
    file.close();
    QCOMPARE(readSummaryLines(folder), QStringList());
    QCOMPARE(readSummaryLines(m_dir.filePath("missing")), QStringList());
}

QTEST_GUILESS_MAIN(TestDspJob)
#include "tst_dspjob.moc"
