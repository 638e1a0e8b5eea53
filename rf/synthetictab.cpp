#include "synthetictab.h"

#include "activityregistry.h"
#include "applanguage.h"
#include "audiorecorder.h"
#include "audiothreadcall.h"
#include "corvindriver.h"
#include "corvinhost.h"
#include "datafolders.h"
#include "receivercontrol.h"
#include "scanstandby.h"
#include "settingskeys.h"
#include "syntheticcsv.h"
#include "syntheticplot.h"

#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

QSpinBox *spinBox(const char *name, int low, int high, int step, int value, const QString &suffix,
                  QWidget *parent)
{
    auto *box = new QSpinBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setRange(low, high);
    box->setSingleStep(step);
    box->setValue(value);
    box->setSuffix(suffix);
    return box;
}

QDoubleSpinBox *megahertzBox(const char *name, double value, QWidget *parent)
{
    auto *box = new QDoubleSpinBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setDecimals(6);
    box->setRange(0.101, 3000.0);
    box->setSingleStep(0.001);
    box->setValue(value);
    box->setSuffix(QStringLiteral(" MHz"));
    return box;
}

QPushButton *button(const char *name, const QString &text, QWidget *parent)
{
    auto *result = new QPushButton(text, parent);
    result->setObjectName(QString::fromLatin1(name));
    return result;
}

} // namespace

SyntheticTab::SyntheticTab(CorvinHost &host, QWidget *parent)
    : QWidget(parent)
    , m_host(host)
    , m_audio(host)
{
    setObjectName(QStringLiteral("syntheticTab"));
    m_sweep = new SyntheticSweep(*host.driver(), m_audio, this);

    m_tuning = buildTuningGroup();
    m_audioGroup = buildAudioGroup();
    m_start = button("syntheticStart", tr("Start sweep"), this);
    m_stop = button("syntheticStop", tr("Stop"), this);
    m_export = button("syntheticExport", tr("Export CSV"), this);
    m_fullView = button("syntheticFullView", tr("Full view"), this);
    m_fullView->setEnabled(false); // the plot starts in its full view
    m_fullView->setToolTip(tr("Restore the complete frequency range and the automatic PSD scale "
                              "(Home)."));
    m_help = button("syntheticHelp", tr("Help"), this);
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("syntheticProgress"));
    m_progress->setRange(0, 1);
    m_progress->setValue(0);
    m_status = new QLabel(tr("Connect and select the audio input in Receiver."), this);
    m_status->setObjectName(QStringLiteral("syntheticStatus"));
    m_status->setWordWrap(true);
    m_plot = new SyntheticPlot(this);
    m_plot->setMinimumHeight(260);
    m_readout = new QLabel(tr("Point at the spectrum to read a bin"), this);
    m_readout->setObjectName(QStringLiteral("syntheticCursorReadout"));

    auto *groups = new QHBoxLayout;
    groups->addWidget(m_tuning, 1);
    groups->addWidget(m_audioGroup, 2);
    auto *buttons = new QHBoxLayout;
    for (QPushButton *b : {m_start, m_stop, m_export, m_fullView, m_help})
        buttons->addWidget(b);
    buttons->addWidget(m_progress, 1);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(groups);
    layout->addLayout(buttons);
    layout->addWidget(m_status);
    layout->addWidget(m_plot, 1);
    layout->addWidget(m_readout);

    readSettings();
    connectSweep();
    m_plot->fullView(m_startMHz->value(), m_endMHz->value());

    ActivityRegistry &activities = host.activities();
    activities.registerActivity(Activity::SyntheticSweep, this,
                                [this] { return m_sweep->isRunning(); });
    activities.registerControlUpdate(this, [this] { updateControls(); });
    activities.registerShutdownStep(ShutdownStep::SyntheticSweep, this, [this] {
        m_sweep->stop(SyntheticSweep::stoppedOnExitMessage());
    });
    activities.registerStop(Activity::SyntheticSweep, this,
                            [this] { m_sweep->stop(SyntheticSweep::stoppedMessage()); });
    host.onAudioInputLost(this, [this] { m_sweep->stop(SyntheticSweep::inputLostMessage()); });
    if (AudioRecorder *recorder = host.audioRecorder()) {
        connect(recorder, &AudioRecorder::rfPsdReady, m_sweep, &SyntheticSweep::onPsdReady,
                Qt::QueuedConnection);
    }
    updateControls();
}

QGroupBox *SyntheticTab::buildTuningGroup()
{
    auto *group = new QGroupBox(tr("RF tuning"), this);
    group->setObjectName(QStringLiteral("syntheticTuning"));
    m_startMHz = megahertzBox("syntheticStartMHz", 4.6, group);
    m_endMHz = megahertzBox("syntheticEndMHz", 4.7, group);
    m_step = spinBox("syntheticStep", 100, 5000, 100, 1000, tr(" Hz"), group);
    m_step->setToolTip(tr("Use a multiple of 100 Hz no greater than the usable audio bandwidth."));
    auto *grid = new QGridLayout(group);
    const QList<QPair<QString, QWidget *>> fields{
        {tr("From"), m_startMHz}, {tr("To"), m_endMHz}, {tr("RX step"), m_step}};
    for (int i = 0; i < fields.size(); ++i) {
        auto *label = new QLabel(fields[i].first, group);
        label->setBuddy(fields[i].second);
        grid->addWidget(label, i, 0);
        grid->addWidget(fields[i].second, i, 1);
    }
    return group;
}

QGroupBox *SyntheticTab::buildAudioGroup()
{
    auto *group = new QGroupBox(tr("Audio and FFT"), this);
    group->setObjectName(QStringLiteral("syntheticAudio"));
    m_low = spinBox("syntheticLow", 100, 4000, 100, 300, tr(" Hz"), group);
    m_low->setToolTip(tr("Lower edge of the usable USB audio passband."));
    m_high = spinBox("syntheticHigh", 200, 6000, 100, 2300, tr(" Hz"), group);
    m_high->setToolTip(tr("Upper edge of the usable USB audio passband."));
    m_bin = spinBox("syntheticBin", 1, 50, 1, 5, tr(" Hz"), group);
    m_bin->setToolTip(
        tr("Nominal FFT spacing. The Hann equivalent noise bandwidth is 1.5 times the spacing."));
    m_channel = new QComboBox(group);
    m_channel->setObjectName(QStringLiteral("syntheticChannel"));
    m_channel->addItems({tr("Left / mono"), tr("Right")});
    m_duration = spinBox("syntheticDuration", 200, 5000, 100, 1000, tr(" ms"), group);
    m_duration->setToolTip(tr("Raw PCM capture duration per tuning, at least one FFT window."));
    m_settle = spinBox("syntheticSettle", 200, 5000, 50, 350, tr(" ms"), group);
    m_settle->setToolTip(
        tr("Wait after tuning before accepting samples. Includes a margin for the audio buffer."));
    auto *grid = new QGridLayout(group);
    const QList<QPair<QString, QWidget *>> fields{
        {tr("Audio low"), m_low},   {tr("Audio high"), m_high},  {tr("FFT bin"), m_bin},
        {tr("Channel"), m_channel}, {tr("Capture"), m_duration}, {tr("Settle"), m_settle}};
    for (int i = 0; i < fields.size(); ++i) {
        auto *label = new QLabel(fields[i].first, group);
        label->setBuddy(fields[i].second);
        grid->addWidget(label, i / 2, 2 * (i % 2));
        grid->addWidget(fields[i].second, i / 2, 2 * (i % 2) + 1);
    }
    return group;
}

void SyntheticTab::connectSweep()
{
    connect(m_start, &QPushButton::clicked, this, &SyntheticTab::startSweep);
    connect(m_stop, &QPushButton::clicked, this, &SyntheticTab::stopSweep);
    connect(m_export, &QPushButton::clicked, this, &SyntheticTab::exportCsvWithDialog);
    connect(m_fullView, &QPushButton::clicked, this, &SyntheticTab::fullView);
    connect(m_help, &QPushButton::clicked, this, &SyntheticTab::showHelp);
    connect(m_plot, &SyntheticPlot::zoomChanged, m_fullView, &QWidget::setEnabled);
    connect(m_plot, &SyntheticPlot::pointed, this, &SyntheticTab::showReadout);
    connect(m_plot, &SyntheticPlot::left, this,
            [this] { m_readout->setText(tr("Point at the spectrum to read a bin")); });

    SyntheticSweep *sweep = m_sweep;
    connect(sweep, &SyntheticSweep::started, this, [this](int planned) {
        writeSettings();
        m_progress->setRange(0, planned);
        m_progress->setValue(0);
        m_progress->setFormat(QStringLiteral("%v/%m"));
        m_plot->showGrid(&m_sweep->grid());
        m_plot->fullView(m_startMHz->value(), m_endMHz->value());
        m_host.receiverControl().clearRequestQueue();
        m_host.refreshAudioStatus();
        m_host.updateConnectionUi();
    });
    connect(sweep, &SyntheticSweep::modeSet, this, [this](int mode) {
        m_host.receiverControl().setModeIndex(mode, false);
        m_host.scanStandby().setKeepAwake(true);
    });
    connect(sweep, &SyntheticSweep::tuned, this,
            [this](qint64 frequency) { m_host.receiverControl().setCurrentFrequency(frequency); });
    connect(sweep, &SyntheticSweep::statusChanged, this, &SyntheticTab::setStatus);
    connect(sweep, &SyntheticSweep::sliceCombined, this, &SyntheticTab::showProgress);
    connect(sweep, &SyntheticSweep::logMessage, this,
            [this](const QString &text) { m_host.appendLog(text); });
    connect(sweep, &SyntheticSweep::restoreRequested, this, [this](qint64 frequency, int mode) {
        m_host.restoreReceiver(frequency, mode);
        m_host.scanStandby().setKeepAwake(false);
    });
    connect(sweep, &SyntheticSweep::finished, this, [this] {
        m_host.refreshAudioStatus();
        m_host.updateConnectionUi();
    });
}

void SyntheticTab::readSettings()
{
    QSettings &settings = m_host.settings();
    m_startMHz->setValue(settings.value(SettingsKeys::syntheticStart, 4.6).toDouble());
    m_endMHz->setValue(settings.value(SettingsKeys::syntheticEnd, 4.7).toDouble());
    const QList<QPair<const char *, QSpinBox *>> boxes{
        {SettingsKeys::syntheticStep, m_step},         {SettingsKeys::syntheticLow, m_low},
        {SettingsKeys::syntheticHigh, m_high},         {SettingsKeys::syntheticBin, m_bin},
        {SettingsKeys::syntheticDuration, m_duration}, {SettingsKeys::syntheticSettle, m_settle}};
    for (const auto &[key, box] : boxes)
        box->setValue(settings.value(key, box->value()).toInt());
}

void SyntheticTab::writeSettings() const
{
    QSettings &settings = m_host.settings();
    settings.setValue(SettingsKeys::syntheticStart, m_startMHz->value());
    settings.setValue(SettingsKeys::syntheticEnd, m_endMHz->value());
    settings.setValue(SettingsKeys::syntheticStep, m_step->value());
    settings.setValue(SettingsKeys::syntheticLow, m_low->value());
    settings.setValue(SettingsKeys::syntheticHigh, m_high->value());
    settings.setValue(SettingsKeys::syntheticBin, m_bin->value());
    settings.setValue(SettingsKeys::syntheticDuration, m_duration->value());
    settings.setValue(SettingsKeys::syntheticSettle, m_settle->value());
}

SyntheticParameters SyntheticTab::parameters() const
{
    SyntheticParameters p;
    p.startHz = SyntheticParameters::megahertzToHz(m_startMHz->value());
    p.endHz = SyntheticParameters::megahertzToHz(m_endMHz->value());
    p.stepHz = m_step->value();
    p.lowHz = m_low->value();
    p.highHz = m_high->value();
    p.binHz = m_bin->value();
    p.captureMs = m_duration->value();
    p.settleMs = m_settle->value();
    p.channel = m_channel->currentIndex();
    return p;
}

void SyntheticTab::startSweep()
{
    if (m_sweep->isRunning() || !m_host.isIdle() || !m_host.driver()->isOpen())
        return;
    const ReceiverControl &receiver = m_host.receiverControl();
    QString status;
    if (!m_sweep->start(parameters(), receiver.currentFrequency(), receiver.modeIndex(), &status)) {
        setStatus(status);
        m_host.refreshAudioStatus();
    }
    updateControls();
}

void SyntheticTab::stopSweep()
{
    m_sweep->stop(SyntheticSweep::stoppedMessage());
}

void SyntheticTab::showProgress(int completed, int planned, double etaSeconds,
                                double clipMaxPercent)
{
    m_progress->setRange(0, planned);
    m_progress->setValue(completed);
    m_progress->setFormat(tr("%v/%m — ETA %1 s — clip max %2%")
                              .arg(etaSeconds, 0, 'f', 0)
                              .arg(clipMaxPercent, 0, 'f', 2));
    m_plot->showGrid(&m_sweep->grid());
}

void SyntheticTab::setStatus(const QString &text)
{
    m_status->setText(text);
}

void SyntheticTab::showReadout(const QPointF &position)
{
    QPointF bin;
    if (m_plot->coveredBinAt(position.x(), &bin)) {
        m_readout->setText(
            tr("%1 MHz  ·  %2 dBFS/Hz").arg(bin.x(), 0, 'f', 6).arg(bin.y(), 0, 'f', 1));
    } else {
        m_readout->setText(tr("%1 MHz  ·  No data").arg(position.x(), 0, 'f', 6));
    }
}

void SyntheticTab::fullView()
{
    m_plot->fullView(m_startMHz->value(), m_endMHz->value());
    m_fullView->setEnabled(false);
}

bool SyntheticTab::audioStreamsIdle() const
{
    AudioRecorder *recorder = m_host.audioRecorder();
    if (!recorder)
        return true;
    const AudioRecorderState state =
        callOnAudioThread(recorder, [recorder] { return recorder->queryState(true); });
    return !state.listening && !state.recording && !state.spectrumOn;
}

void SyntheticTab::updateControls()
{
    const bool running = m_sweep->isRunning();
    m_start->setEnabled(!running && m_host.isIdle() && m_host.driver()->isOpen() &&
                        m_host.hasAudioInput() && audioStreamsIdle());
    m_stop->setEnabled(running);
    m_export->setEnabled(!running && m_sweep->completedSlices() > 0);
    m_tuning->setEnabled(!running);
    m_audioGroup->setEnabled(!running);
}

bool SyntheticTab::exportCsv(const QString &path)
{
    SyntheticCsv::SweepInfo info;
    const SyntheticParameters &p = m_sweep->parameters();
    info.utcStart = m_sweep->startUtc();
    info.completedSlices = m_sweep->completedSlices();
    info.plannedSlices = m_sweep->plannedSlices();
    info.maxClipFraction = m_sweep->maxClipFraction();
    info.binHz = p.binHz;
    info.lowHz = p.lowHz;
    info.highHz = p.highHz;
    info.settleMs = p.settleMs;
    info.captureMs = p.captureMs;
    info.channel = p.channel;
    QString error;
    QString text;
    const SyntheticCsv::Result result = SyntheticCsv::write(path, m_sweep->grid(), info, &error);
    switch (result) {
    case SyntheticCsv::Result::Saved:
        text = tr("CSV saved: ") + QDir::toNativeSeparators(path);
        break;
    case SyntheticCsv::Result::WriteFailed:
        text = tr("CSV write failed.");
        break;
    case SyntheticCsv::Result::OpenFailed:
    case SyntheticCsv::Result::CommitFailed:
        text = error;
        break;
    }
    setStatus(text);
    m_host.appendLog(text);
    return result == SyntheticCsv::Result::Saved;
}

void SyntheticTab::exportCsvWithDialog()
{
    if (m_sweep->isRunning() || m_sweep->completedSlices() == 0)
        return;
    const QString folder = DataFolders::ensure(QString::fromLatin1(DataFolders::rf));
    const QString proposed = QDir(folder).filePath(SyntheticCsv::proposedFileName());
    const QString path =
        QFileDialog::getSaveFileName(this, tr("RF Synthetic CSV"), proposed, tr("CSV (*.csv)"));
    if (!path.isEmpty())
        exportCsv(path);
}

void SyntheticTab::showHelp()
{
    const bool italian = runningLanguage() == QLatin1String("it");
    const QString text =
        italian ? QStringLiteral(
                      "In Ricevitore, connetti il ricevitore e scegli l'ingresso audio. Ferma "
                      "registrazione, ascolto e FFT dal vivo prima di avviare la scansione. USB "
                      "viene impostata automaticamente e la sintonia originale viene "
                      "ripristinata all'arresto.\n\nLa PSD di Welch usa una finestra di Hann con "
                      "sovrapposizione del 50% sul PCM grezzo (fRF = fSintonia + fAudio). I "
                      "segmenti adiacenti sono pesati in potenza lineare. Mantieni fissi i "
                      "guadagni ed evita il clipping. Il CSV contiene PSD relativa non calibrata "
                      "e peso di copertura. La scansione è sequenziale e i bin senza misure sono "
                      "omessi dal grafico.")
                : QStringLiteral(
                      "In Receiver, connect and select the audio input. Stop recording, "
                      "listening and live FFT before starting the sweep. USB is set "
                      "automatically and the original tuning is restored on stop.\n\nWelch PSD "
                      "uses a Hann window with 50% overlap on raw PCM (fRF = fTune + fAudio). "
                      "Adjacent slices are weighted in linear power. Keep gains fixed and avoid "
                      "clipping. The CSV contains uncalibrated relative PSD and coverage weight. "
                      "The sweep is sequential and bins without measurements are omitted from "
                      "the plot.");
    QMessageBox::information(this, QStringLiteral("RF Synthetic Spectrum"), text);
}
