#include "bandscopetab.h"

#include "activityregistry.h"
#include "applanguage.h"
#include "bandscopeexport.h"
#include "bandscopeserviceview.h"
#include "bandscopespectrumview.h"
#include "bandscopeview.h"
#include "corvindriver.h"
#include "corvinhost.h"
#include "datafolders.h"
#include "receivercontrol.h"
#include "scopeservice.h"
#include "scopespan.h"
#include "scopetext.h"
#include "settingskeys.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

BandScopeDialogs BandScopeDialogs::standard()
{
    BandScopeDialogs dialogs;
    dialogs.saveFile = [](QWidget *parent, const QString &title, const QString &path,
                          const QString &filter, const QString &defaultSuffix) {
        QFileDialog dialog(parent, title, path, filter);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(defaultSuffix);
        dialog.selectFile(path);
        return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()
                   ? dialog.selectedFiles().constFirst()
                   : QString();
    };
    dialogs.ask = [](QWidget *parent, const QString &title, const QString &text) {
        return QMessageBox::question(parent, title, text, QMessageBox::Yes | QMessageBox::No,
                                     QMessageBox::No) == QMessageBox::Yes;
    };
    dialogs.warn = [](QWidget *parent, const QString &title, const QString &text) {
        QMessageBox::warning(parent, title, text);
    };
    return dialogs;
}

BandScopeTab::BandScopeTab(CorvinHost &host, QWidget *parent)
    : QWidget(parent)
    , m_host(host)
    , m_italian(runningLanguage() == QLatin1String("it"))
    , m_port(std::make_unique<DriverScopePort>(*host.driver()))
    , m_dialogs(BandScopeDialogs::standard())
{
    setObjectName(QStringLiteral("bandScopeTab"));
    m_capture = new ScopeCapture(*m_port, *this, m_record, m_history, m_italian, this);
    m_service = new ScopeService(*m_port, m_record, m_history, m_italian, this);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(buildAcquisition());
    m_statusLabel = new QLabel(this);
    m_statusLabel->setObjectName(QStringLiteral("bandScopeStatus"));
    m_statusLabel->setWordWrap(true);
    layout->addWidget(m_statusLabel);
    m_views = new QTabWidget(this);
    m_views->setObjectName(QStringLiteral("bandScopeViews"));
    m_spectrum = new BandScopeSpectrumView(m_views);
    m_serviceView = new BandScopeServiceView(m_views);
    m_views->addTab(m_spectrum, tr("Spectrum and waterfall"));
    m_views->addTab(m_serviceView, tr("Serial diagnostics"));
    layout->addWidget(m_views, 1);

    setStatus(tr("Connect in Receiver or open Scope COM in Serial diagnostics."));
    restoreSettings();
    connectParts();
    registerActivity();
    redrawWaterfall();
    redrawPlot();
    updateControls();
}

BandScopeTab::~BandScopeTab() = default;

QString BandScopeTab::text(const char *english, const char *italian) const
{
    return ScopeText::pick(m_italian, english, italian);
}

QWidget *BandScopeTab::buildAcquisition()
{
    auto *group = new QGroupBox(tr("Acquisition"), this);
    group->setObjectName(QStringLiteral("bandScopeCaptureGroup"));
    auto *grid = new QGridLayout(group);

    m_centre = new QDoubleSpinBox(group);
    m_centre->setObjectName(QStringLiteral("bandScopeCenter"));
    m_centre->setDecimals(3);
    m_centre->setSuffix(QStringLiteral(" MHz"));
    m_centre->setRange(0.1, 3000.0);
    m_centre->setSingleStep(0.002);
    m_centre->setValue(ScopeSpan::defaultCenterMHz);
    m_centre->setToolTip(tr("Rounded to the nearest supported 2 or 10 kHz grid before capture."));
    auto *centreLabel = new QLabel(tr("Center"), group);
    centreLabel->setBuddy(m_centre);

    m_span = new QComboBox(group);
    m_span->setObjectName(QStringLiteral("bandScopeSpan"));
    for (int code = ScopeSpan::lastCode; code >= ScopeSpan::firstCode; --code)
        m_span->addItem(ScopeSpan::comboText(code), code);
    m_span->setToolTip(tr("Sweep width. The nominal frequency step is shown in parentheses."));
    auto *spanLabel = new QLabel(tr("Span"), group);
    spanLabel->setBuddy(m_span);

    m_peakHold = new QCheckBox(tr("RX peak hold"), group);
    m_peakHold->setObjectName(QStringLiteral("bandScopePeakHold"));
    m_peakHold->setToolTip(tr("Request PH1 when selected. Otherwise keep the receiver setting."));
    m_backToBack = new QCheckBox(tr("Back-to-back DS"), group);
    m_backToBack->setObjectName(QStringLiteral("bandScopeBackToBack"));
    m_backToBack->setToolTip(tr("Continuous capture requests the next frame as soon as the "
                                "current one is complete, without waiting for a quiet line."));

    m_start = new QPushButton(tr("Capture sweep"), group);
    m_start->setObjectName(QStringLiteral("bandScopeStart"));
    m_run = new QPushButton(tr("Start continuous"), group);
    m_run->setObjectName(QStringLiteral("bandScopeRun"));
    m_run->setToolTip(tr("Verify setup once, then repeat DS. Stop waits for the current sweep. "
                         "Click again to abort and close COM."));
    m_stop = new QPushButton(text("Stop", "Ferma"), group);
    m_stop->setObjectName(QStringLiteral("bandScopeStop"));

    grid->addWidget(centreLabel, 0, 0);
    grid->addWidget(m_centre, 0, 1);
    grid->addWidget(spanLabel, 0, 2);
    grid->addWidget(m_span, 0, 3);
    grid->addWidget(m_peakHold, 0, 4);
    grid->addWidget(m_backToBack, 0, 5);
    grid->setColumnStretch(6, 1);
    grid->addWidget(m_start, 0, 7);
    grid->addWidget(m_run, 0, 8);
    grid->addWidget(m_stop, 0, 9);
    return group;
}

void BandScopeTab::restoreSettings()
{
    QSettings &settings = m_host.settings();
    m_centre->setValue(
        settings.value(QLatin1String(SettingsKeys::bandScopeCenterMHz), ScopeSpan::defaultCenterMHz)
            .toDouble());
    const int code = ScopeSpan::clampCode(
        settings.value(QLatin1String(SettingsKeys::bandScopeSpan), ScopeSpan::defaultCode).toInt());
    m_span->setCurrentIndex(m_span->findData(code));
    m_spectrum->historyDepth()->setValue(
        settings.value(QLatin1String(SettingsKeys::bandScopeHistoryDepth), 64).toInt());
}

void BandScopeTab::connectParts()
{
    connect(m_start, &QPushButton::clicked, this, [this] { startCapture(false); });
    connect(m_run, &QPushButton::clicked, this, [this] { startCapture(true); });
    connect(m_stop, &QPushButton::clicked, this, &BandScopeTab::stopCapture);

    connect(m_capture, &ScopeCapture::statusChanged, this, &BandScopeTab::setStatus);
    connect(m_capture, &ScopeCapture::logLine, m_serviceView, &BandScopeServiceView::appendLog);
    connect(m_capture, &ScopeCapture::logReplaced, m_serviceView,
            &BandScopeServiceView::setLogText);
    connect(m_capture, &ScopeCapture::historyChanged, this, [this] {
        redrawWaterfall();
        redrawPlot();
    });
    connect(m_capture, &ScopeCapture::frameAdded, this, &BandScopeTab::onFrameAdded);
    connect(m_capture, &ScopeCapture::stateChanged, this, [this] { m_host.updateConnectionUi(); });
    connect(m_capture, &ScopeCapture::finished, this, &BandScopeTab::onCaptureFinished);

    connect(m_service, &ScopeService::statusChanged, this, &BandScopeTab::setStatus);
    connect(m_service, &ScopeService::logLine, m_serviceView, &BandScopeServiceView::appendLog);
    connect(m_service, &ScopeService::logCleared, m_serviceView,
            [this] { m_serviceView->setLogText(QString()); });
    connect(m_service, &ScopeService::manualFramePrepared, this, [this] {
        m_views->setCurrentIndex(0);
        m_spectrum->trace()->setCurrentIndex(BandScopeView::Current);
        m_spectrum->rawAxis()->setChecked(true);
        redrawWaterfall();
        redrawPlot();
    });
    connect(m_service, &ScopeService::manualFrameEnded, this, &BandScopeTab::redrawPlot);
    connect(m_service, &ScopeService::stateChanged, this, [this] { m_host.updateConnectionUi(); });
    connect(m_service, &ScopeService::closed, this, [this] {
        m_host.receiverControl().clearRequestQueue();
        m_host.updateConnectionUi();
    });

    connect(m_serviceView->openButton(), &QPushButton::clicked, this, &BandScopeTab::toggleService);
    connect(m_serviceView, &BandScopeServiceView::commandRequested, this,
            &BandScopeTab::sendCommand);
    connect(m_serviceView->timeout(), QOverload<int>::of(&QSpinBox::valueChanged), m_service,
            &ScopeService::setTimeoutSeconds);
    m_service->setTimeoutSeconds(m_serviceView->timeout()->value());
    connect(m_serviceView->clearButton(), &QPushButton::clicked, this, [this] {
        m_service->clearLog();
        m_serviceView->setLogText(QString());
    });

    connect(m_spectrum->trace(), QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &BandScopeTab::redrawPlot);
    connect(m_spectrum->window(), QOverload<int>::of(&QSpinBox::valueChanged), this,
            &BandScopeTab::redrawPlot);
    connect(m_spectrum->rawAxis(), &QCheckBox::toggled, this, &BandScopeTab::redrawPlot);
    connect(m_spectrum->reference(), &QPushButton::clicked, this, &BandScopeTab::setReference);
    connect(m_spectrum->reset(), &QPushButton::clicked, this, &BandScopeTab::resetStatistics);
    connect(m_spectrum->historyDepth(), QOverload<int>::of(&QSpinBox::valueChanged), this,
            [this](int rows) {
                m_host.settings().setValue(QLatin1String(SettingsKeys::bandScopeHistoryDepth),
                                           rows);
                redrawWaterfall();
            });
    connect(m_spectrum->exportButton(), &QPushButton::clicked, this, &BandScopeTab::exportFrame);
    connect(m_spectrum->historyExportButton(), &QPushButton::clicked, this,
            &BandScopeTab::toggleHistoryExport);
}

void BandScopeTab::registerActivity()
{
    ActivityRegistry &activities = m_host.activities();
    activities.registerActivity(Activity::BandScopeAcquisition, this,
                                [this] { return m_capture->isRunning(); });
    activities.registerActivity(Activity::BandScopeService, this,
                                [this] { return m_service->isOpen(); });
    activities.registerControlUpdate(this, [this] { updateControls(); });
    activities.registerShutdownStep(ShutdownStep::BandScopeAcquisition, this, [this] {
        m_capture->finish(text("Stopped on exit.", "Arrestato in chiusura."));
    });
    activities.registerShutdownStep(ShutdownStep::BandScopeService, this,
                                    [this] { m_service->close(); });
}

void BandScopeTab::setClock(const ScopeClock &clock)
{
    m_capture->setClock(clock);
    m_service->setClock(clock);
}

bool BandScopeTab::isSessionOpen() const
{
    return m_service->isOpen();
}

bool BandScopeTab::otherActivityRuns() const
{
    const ActivityRegistry &activities = m_host.activities();
    for (const Activity activity :
         {Activity::AnomalyCapture, Activity::SyntheticSweep, Activity::SmartScan,
          Activity::RfSweep, Activity::FavoriteMeasurement, Activity::StandbyCountdown,
          Activity::PanelScan}) {
        if (activities.isRunning(activity))
            return true;
    }
    return false;
}

void BandScopeTab::setStatus(const QString &status)
{
    m_status = status;
    m_statusLabel->setText(status);
}

void BandScopeTab::updateControls()
{
    const bool capturing = m_capture->isRunning();
    const bool session = m_service->isOpen();
    const bool commandPending = m_service->isCommandPending();
    const bool driverOpen = m_host.driver()->isOpen();
    const bool others = otherActivityRuns();

    QPushButton *open = m_serviceView->openButton();
    open->setText(session ? text("Close Scope COM", "Chiudi COM Scope")
                          : text("Open Scope COM", "Apri COM Scope"));
    open->setEnabled(session ? !capturing && !commandPending
                             : !capturing && !others && !driverOpen &&
                                   m_host.receiverControl().hasSerialPort());
    const bool manual = session && !capturing && !commandPending;
    m_serviceView->commands()->setEnabled(manual);
    m_serviceView->clearButton()->setEnabled(manual);

    const bool canStart = !capturing && (session ? !commandPending : !others && driverOpen);
    m_start->setEnabled(canStart);
    m_run->setEnabled(canStart);
    m_stop->setEnabled(capturing);
    m_stop->setText(m_capture->isStopPending() ? text("Abort now", "Interrompi subito")
                                               : text("Stop", "Ferma"));
    const bool settingsFree = !capturing && !commandPending;
    for (QWidget *widget :
         std::initializer_list<QWidget *>{m_centre, m_span, m_peakHold, m_backToBack})
        widget->setEnabled(settingsFree);

    m_spectrum->reference()->setEnabled(!m_history.isEmpty());
    m_spectrum->rawAxis()->setEnabled(m_record.setupVerified);
    m_spectrum->exportButton()->setEnabled(settingsFree && !m_record.captureLog.isEmpty());
}

void BandScopeTab::startCapture(bool continuous)
{
    const bool session = m_service->isOpen();
    if (m_capture->isRunning())
        return;
    if (session ? m_service->isCommandPending() : otherActivityRuns() || !m_host.driver()->isOpen())
        return;
    if (session)
        m_service->pause();

    ScopeRequest request;
    request.spanCode = m_span->currentData().toInt();
    request.peakHold = m_peakHold->isChecked();
    request.continuous = continuous;
    request.session = session;
    request.backToBack = m_backToBack->isChecked();
    request.centreHz = ScopeSpan::roundCentre(m_centre->value(), request.spanCode);
    m_centre->setValue(request.centreHz / 1e6);
    QSettings &settings = m_host.settings();
    settings.setValue(QLatin1String(SettingsKeys::bandScopeCenterMHz), request.centreHz / 1e6);
    settings.setValue(QLatin1String(SettingsKeys::bandScopeSpan), request.spanCode);

    ReceiverControl &receiver = m_host.receiverControl();
    m_rememberedFrequency = receiver.currentFrequency();
    m_rememberedMode = receiver.modeIndex();
    receiver.clearRequestQueue();
    m_spectrum->rawAxis()->setChecked(true);
    m_capture->start(request);
    redrawPlot();
    m_host.updateConnectionUi();
}

void BandScopeTab::stopCapture()
{
    m_capture->stop();
}

bool BandScopeTab::restore(QString *error)
{
    if (!m_port->restoreTuning(
            m_rememberedFrequency, m_rememberedMode,
            text("Could not restore tuning/mode.", "Impossibile ripristinare sintonia/modo."),
            error))
        return false;
    m_host.receiverControl().setCurrentFrequency(m_rememberedFrequency);
    return true;
}

void BandScopeTab::isolate()
{
    // Never the normal disconnect: it could send standby to a receiver still streaming.
    if (m_service->isOpen())
        m_service->drop();
    m_port->close();
    ReceiverControl &receiver = m_host.receiverControl();
    receiver.clearRequestQueue();
    receiver.showSignalLevel(-1);
}

void BandScopeTab::onCaptureFinished(const QString &summary, bool, bool kept)
{
    if (kept && m_capture->isSessionCapture())
        m_service->resume();
    setStatus(summary);
    m_host.appendLog(QStringLiteral("RX Band Scope: ") + summary);
    redrawPlot();
    m_host.updateConnectionUi();
}

void BandScopeTab::onFrameAdded()
{
    if (!m_recorder.isRecording())
        return;
    QString error;
    if (!m_recorder.append(m_history.key(), m_history.sweep(0), &error)) {
        m_host.appendLog(tr("RX Band Scope history export stopped: %1").arg(error));
        stopHistoryExport();
    }
}

void BandScopeTab::toggleService()
{
    if (m_service->isOpen()) {
        if (!m_capture->isRunning() && !m_service->isCommandPending())
            m_service->close();
        return;
    }
    if (m_capture->isRunning() || otherActivityRuns() || m_host.driver()->isOpen() ||
        !m_host.receiverControl().hasSerialPort()) {
        updateControls();
        return;
    }
    if (m_service->open(m_host.receiverControl().serialPortName()))
        m_host.receiverControl().clearRequestQueue();
    m_host.updateConnectionUi();
}

void BandScopeTab::sendCommand(const QString &command)
{
    if (!m_capture->isRunning())
        m_service->sendCommand(command);
}

void BandScopeTab::redrawPlot()
{
    BandScopeView::Source source;
    source.record = &m_record;
    source.history = &m_history;
    source.selectedView = m_spectrum->trace()->currentIndex();
    source.rawAxisTicked = m_spectrum->rawAxis()->isChecked();
    source.window = m_spectrum->window()->value();
    source.captureRunning = m_capture->isRunning();
    source.frameProcessed = m_capture->isFrameProcessed();
    m_spectrum->showPlot(BandScopeView::plot(source, m_italian));
    m_spectrum->showStatistics(BandScopeView::statisticsLine(source, m_italian));
    updateControls();
}

void BandScopeTab::redrawWaterfall()
{
    const int depth = m_spectrum->historyDepth()->value();
    m_spectrum->showWaterfall(BandScopeView::waterfall(m_history, depth),
                              BandScopeView::waterfallTimeText(m_history, depth, m_italian));
}

void BandScopeTab::setReference()
{
    if (m_history.isEmpty())
        return;
    m_history.setReference(m_spectrum->window()->value());
    redrawPlot();
}

void BandScopeTab::resetStatistics()
{
    m_history.clear();
    redrawWaterfall();
    redrawPlot();
}

QDir BandScopeTab::exportFolder()
{
    const QString folder = DataFolders::ensure(QLatin1String(DataFolders::bandscope));
    return QDir(folder.isEmpty() ? DataFolders::path(QLatin1String(DataFolders::bandscope))
                                 : folder);
}

void BandScopeTab::exportFrame()
{
    if (m_capture->isRunning() || m_service->isCommandPending() || m_record.captureLog.isEmpty())
        return;
    const QString title = QStringLiteral("RX Band Scope");
    const QString suggested =
        exportFolder().filePath(BandScopeExport::defaultFileName(QDateTime::currentDateTime()));
    const QString chosen =
        m_dialogs.saveFile(this, text("Export RX Band Scope", "Esporta RX Band Scope"), suggested,
                           QStringLiteral("CSV (*.csv)"), QStringLiteral("csv"));
    if (chosen.isEmpty())
        return;
    // The dialog confirmed the name it returned; a name that still gains ".csv" here was not
    // confirmed.
    const QString csvPath = BandScopeExport::withCsvSuffix(chosen);
    if (csvPath != chosen && QFile::exists(csvPath) &&
        !m_dialogs.ask(this, title,
                       tr("%1 already exists. Replace it?").arg(QDir::toNativeSeparators(csvPath))))
        return;
    const QString rawPath = BandScopeExport::rawPathFor(csvPath);
    if (QFile::exists(rawPath) &&
        !m_dialogs.ask(this, title,
                       text("Replace existing raw file?", "Sostituire il file raw esistente?")))
        return;
    QString error;
    if (!BandScopeExport::write(
            csvPath, BandScopeExport::csv(m_record, m_history, m_spectrum->window()->value()),
            rawPath, BandScopeExport::raw(m_record), &error)) {
        m_dialogs.warn(this, title,
                       text("Could not save both files. Check destination.",
                            "Impossibile salvare entrambi i file. Verifica la destinazione."));
        return;
    }
    m_host.appendLog(QStringLiteral("RX Band Scope export: ") + csvPath + QStringLiteral(" + ") +
                     rawPath);
    setStatus(m_status + text(" Exported.", " Esportato."));
}

void BandScopeTab::toggleHistoryExport(bool on)
{
    QPushButton *button = m_spectrum->historyExportButton();
    if (!on) {
        stopHistoryExport();
        return;
    }
    const QString suggested = exportFolder().filePath(
        QStringLiteral("bandscope_history_%1.csv")
            .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd_HHmmss_zzz"))));
    const QString chosen = m_dialogs.saveFile(this, tr("Export band-scope history"), suggested,
                                              QStringLiteral("CSV (*.csv)"), QStringLiteral("csv"));
    QString error;
    if (chosen.isEmpty() || !m_recorder.start(chosen, &error)) {
        if (!chosen.isEmpty())
            m_host.appendLog(tr("Could not write the band-scope history %1: %2")
                                 .arg(QDir::toNativeSeparators(chosen), error));
        button->setChecked(false);
        return;
    }
    // The sweeps already in the history come first, oldest first.
    for (int age = m_history.size() - 1; age >= 0; --age) {
        if (!m_recorder.append(m_history.key(), m_history.sweep(age), &error)) {
            m_host.appendLog(tr("RX Band Scope history export stopped: %1").arg(error));
            stopHistoryExport();
            return;
        }
    }
    button->setText(tr("Stop history export"));
    m_host.appendLog(tr("RX Band Scope history export: %1 + %2")
                         .arg(QDir::toNativeSeparators(m_recorder.csvPath()),
                              QDir::toNativeSeparators(m_recorder.imagePath())));
}

void BandScopeTab::stopHistoryExport()
{
    QPushButton *button = m_spectrum->historyExportButton();
    button->setChecked(false);
    button->setText(tr("Export history"));
    QString error;
    if (m_recorder.isRecording() && !m_recorder.stop(&error))
        m_host.appendLog(tr("Could not write the band-scope history %1: %2")
                             .arg(QDir::toNativeSeparators(m_recorder.imagePath()), error));
}
