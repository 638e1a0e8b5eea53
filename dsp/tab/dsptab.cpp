#include "dsptab.h"

#include "activityregistry.h"
#include "corvinhost.h"
#include "datafolders.h"
#include "dspcontrols.h"
#include "dspinteractiveviews.h"
#include "dsprunfinish.h"
#include "progressstages.h"
#include "reportworkspace.h"
#include "settingskeys.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QThreadPool>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>
#include <QtConcurrent>

// One analysis run, from start to finish.
struct DspTab::Run
{
    std::unique_ptr<ReportWorkspace> workspace;
    DspJob job;
    int lastShownPercent = -1;
    bool cancelRequested = false;
};

namespace {

QPushButton *button(QWidget *parent, const char *name, const QString &text)
{
    auto *result = new QPushButton(text, parent);
    result->setObjectName(QLatin1String(name));
    return result;
}

bool openLocal(const QString &path)
{
    return QFileInfo::exists(path) && QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

} // namespace

DspTab::DspTab(CorvinHost &host, QWidget *parent)
    : QWidget(parent)
    , m_host(host)
{
    setObjectName(QStringLiteral("dspTab"));
    QSettings &settings = host.settings();
    m_controls = new DspControls(this);
    m_controls->restoreSettings(settings);
    // Widgets are made in layout order, which is also the keyboard's tab order.
    QWidget *actionRow = buildActionRow();
    m_lastReport = settings.value(QLatin1String(SettingsKeys::dspLastReport)).toString();

    m_views = new DspInteractiveViews(this);
    m_views->setInitialBand(m_controls->lowHz()->value(), m_controls->highHz()->value());
    m_views->setExportDefaults(m_lastReport, QString());

    m_console = new QPlainTextEdit(this);
    m_console->setObjectName(QStringLiteral("dspConsole"));
    m_console->setReadOnly(true);
    m_console->setMaximumHeight(95);
    m_console->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_console->setPlaceholderText(tr("Analysis progress and results will appear here."));

    m_anomalyArea = new QWidget(this);
    m_anomalyArea->setObjectName(QStringLiteral("dspAnomalyArea"));
    m_anomalyLayout = new QVBoxLayout(m_anomalyArea);
    m_anomalyLayout->setContentsMargins(0, 0, 0, 0);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_controls);
    layout->addWidget(actionRow);
    layout->addWidget(m_views, 1);
    layout->addWidget(m_console);
    layout->addWidget(buildReportRow());
    layout->addWidget(m_anomalyArea);

    m_pollTimer = new QTimer(this);
    m_pollTimer->setInterval(150);
    connect(m_pollTimer, &QTimer::timeout, this, &DspTab::pollDspProgress);
    connect(&m_watcher, &QFutureWatcher<DspRunResult>::finished, this, &DspTab::finishDspAnalysis);
    connect(m_controls->browseButton(), &QPushButton::clicked, this, &DspTab::browseDspWav);
    connect(m_controls->wavPath(), &QLineEdit::textChanged, this, &DspTab::updateDspControls);
    connect(m_views->analyzeBandButton(), &QPushButton::clicked, this,
            &DspTab::analyzeSelectedBand);
    connect(m_views, &DspInteractiveViews::logMessage, this,
            [this](const QString &message) { m_host.appendLog(message); });
    host.activities().registerShutdownStep(ShutdownStep::DspAnalysis, this, [this] { shutdown(); });
    updateDspControls();
}

DspTab::~DspTab()
{
    shutdown();
}

QWidget *DspTab::buildActionRow()
{
    auto *row = new QWidget(this);
    m_analyze = button(row, "dspAnalyzePB", tr("Analyze WAV"));
    m_cancel = button(row, "dspCancelPB", tr("Cancel"));
    m_progress = new QProgressBar(row);
    m_progress->setObjectName(QStringLiteral("dspProgress"));
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_analyze);
    layout->addWidget(m_cancel);
    layout->addWidget(m_progress, 1);
    connect(m_analyze, &QPushButton::clicked, this, &DspTab::startDspAnalysis);
    connect(m_cancel, &QPushButton::clicked, this, &DspTab::cancelDspAnalysis);
    return row;
}

QWidget *DspTab::buildReportRow()
{
    auto *row = new QWidget(this);
    m_openReport = button(row, "dspOpenReportPB", tr("Open report"));
    m_openFolder = button(row, "dspOpenFolderPB", tr("Open report folder"));
    m_help = button(row, "dspHelpPB", tr("DSP Help"));
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_openReport);
    layout->addWidget(m_openFolder);
    layout->addStretch(1);
    layout->addWidget(m_help);
    connect(m_openReport, &QPushButton::clicked, this, &DspTab::openDspReport);
    connect(m_openFolder, &QPushButton::clicked, this, &DspTab::openDspReportFolder);
    connect(m_help, &QPushButton::clicked, this, [this] { m_host.showDspHelp(); });
    return row;
}

void DspTab::setWavFile(const QString &path, bool resetChannel)
{
    const QString shown = QDir::toNativeSeparators(path);
    m_controls->wavPath()->setText(shown);
    m_host.settings().setValue(QLatin1String(SettingsKeys::dspLastWav), shown);
    if (resetChannel)
        m_controls->channel()->setValue(1);
}

QString DspTab::wavPath() const
{
    return m_controls->wavPath()->text();
}

void DspTab::setAnomalyPanel(QWidget *panel)
{
    m_anomalyLayout->addWidget(panel);
}

bool DspTab::hasResult() const
{
    return m_views->hasResult();
}

QString DspTab::browseStartFolder() const
{
    if (!wavPath().isEmpty())
        return wavPath();
    // Recordings are made into "grab" below the current directory.
    const QDir grab(QDir::current().filePath(QLatin1String(DataFolders::grab)));
    return grab.exists() ? grab.absolutePath() : QDir::currentPath();
}

void DspTab::browseDspWav()
{
    const QString file = QFileDialog::getOpenFileName(
        this, tr("Open WAV recording"), browseStartFolder(), tr("WAV audio (*.wav *.wave)"));
    if (!file.isEmpty())
        setWavFile(file, false);
}

void DspTab::updateDspControls()
{
    const bool running = isRunning();
    const bool hasReport =
        !m_lastReport.isEmpty() &&
        QFileInfo(QDir(m_lastReport).filePath(QStringLiteral("report.html"))).isFile();
    m_controls->setEnabled(!running);
    m_analyze->setEnabled(!running && QFileInfo(wavPath()).isFile());
    m_cancel->setEnabled(running && !m_run->cancelRequested);
    m_openReport->setEnabled(!running && hasReport);
    m_openFolder->setEnabled(!running && hasReport);
    m_views->setJobRunning(running);
}

void DspTab::startDspAnalysis()
{
    if (isRunning() || !QFileInfo(wavPath()).isFile())
        return;
    m_console->clear();
    m_progress->setValue(0);
    if (m_controls->lowHz()->value() >= m_controls->highHz()->value()) {
        console(tr("Choose a high frequency greater than the low frequency."));
        return;
    }
    auto workspace =
        std::make_unique<ReportWorkspace>(DataFolders::path(QLatin1String(DataFolders::dsp)));
    if (workspace->status() != ReportWorkspace::Status::Ready) {
        console(workspace->statusMessage());
        if (workspace->status() == ReportWorkspace::Status::NoReportsFolder)
            m_host.appendLog(workspace->statusMessage());
        updateDspControls();
        return;
    }
    const QString wav = QFileInfo(wavPath()).absoluteFilePath();
    m_run = std::make_unique<Run>();
    m_run->job.request = m_controls->request(wav);
    m_run->job.wavPath = wav;
    m_run->job.resultFolder = workspace->resultFolder();
    m_run->workspace = std::move(workspace);
    m_controls->storeSettings(m_host.settings());

    for (const QString &line : ProgressStages::openingLines(wav))
        console(line);
    m_host.appendLog(tr("Native DSP analyzing WAV: %1").arg(QDir::toNativeSeparators(wav)));
    updateDspControls();
    m_pollTimer->start();
    // The worker gets copies of everything but the flag and the progress, which it shares.
    const DspJob job = m_run->job;
    m_watcher.setFuture(
        QtConcurrent::run(QThreadPool::globalInstance(), [job] { return runDspJob(job); }));
}

void DspTab::cancelDspAnalysis()
{
    if (!isRunning() || m_run->cancelRequested)
        return;
    m_run->cancelRequested = true;
    m_run->job.cancel->store(true);
    m_cancel->setEnabled(false);
    console(tr("Cancellation requested; stopping the analyzer..."));
}

void DspTab::pollDspProgress()
{
    if (!isRunning())
        return;
    const int percent = m_run->job.progress->load();
    if (percent == m_run->lastShownPercent)
        return;
    m_progress->setValue(percent);
    for (const QString &line : ProgressStages::linesBetween(m_run->lastShownPercent, percent))
        console(line);
    m_run->lastShownPercent = percent;
}

void DspTab::finishDspAnalysis()
{
    if (!isRunning())
        return;
    m_pollTimer->stop();
    pollDspProgress();
    const DspRunResult run = m_watcher.result();
    const DspRunOutcome outcome =
        finishDspRun(*m_run->workspace, run, m_run->cancelRequested, QDateTime::currentDateTime(),
                     QCoreApplication::applicationPid());
    if (outcome.kind == DspRunOutcome::Kind::Cancelled)
        m_progress->setValue(0);
    if (outcome.hasNewResult()) {
        m_analysedWav = m_run->job.wavPath;
        setLastReport(outcome.reportFolder);
        m_views->populateInteractiveViews(run.result);
    }
    if (outcome.kind == DspRunOutcome::Kind::Saved) {
        m_progress->setValue(100);
        for (const QString &line : outcome.summary)
            console(line);
    }
    console(outcome.message);
    m_host.appendLog(outcome.message);
    // The working folder goes with whatever is left in it, unless it now holds the report.
    m_run.reset();
    updateDspControls();
}

void DspTab::analyzeSelectedBand()
{
    if (!hasResult() || isRunning())
        return;
    const AudioBand band = m_views->band();
    if (band.lowHz >= band.highHz) {
        m_views->showInfo(
            tr("Invalid band: upper frequency must be greater than lower frequency."));
        return;
    }
    // The band belongs to the held result's recording, whatever the file field shows now.
    if (!m_analysedWav.isEmpty() &&
        QFileInfo(wavPath()).absoluteFilePath() != QFileInfo(m_analysedWav).absoluteFilePath())
        setWavFile(m_analysedWav, false);
    m_controls->lowHz()->setValue(band.lowHz);
    m_controls->highHz()->setValue(band.highHz);
    startDspAnalysis();
}

void DspTab::openDspReport()
{
    const QString report = QDir(m_lastReport).filePath(QStringLiteral("report.html"));
    if (!openLocal(report))
        m_host.appendLog(tr("Could not open DSP report: %1").arg(QDir::toNativeSeparators(report)));
}

void DspTab::openDspReportFolder()
{
    if (!openLocal(m_lastReport)) {
        m_host.appendLog(
            tr("Could not open DSP report folder: %1").arg(QDir::toNativeSeparators(m_lastReport)));
    }
}

void DspTab::console(const QString &line)
{
    m_console->appendPlainText(line);
}

void DspTab::setLastReport(const QString &folder)
{
    m_lastReport = folder;
    m_host.settings().setValue(QLatin1String(SettingsKeys::dspLastReport), folder);
    m_views->setExportDefaults(folder, QFileInfo(m_analysedWav).completeBaseName());
}

void DspTab::shutdown()
{
    m_pollTimer->stop();
    disconnect(&m_watcher, nullptr, this, nullptr);
    if (m_run) {
        m_run->job.cancel->store(true);
        m_watcher.waitForFinished();
        m_run.reset();
    }
}
