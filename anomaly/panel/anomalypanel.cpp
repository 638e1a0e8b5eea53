#include "anomalypanel.h"

#include "activityregistry.h"
#include "anomalysession.h"
#include "anomalytexts.h"
#include "audiopanel.h"
#include "audiorecorder.h"
#include "corvindriver.h"
#include "corvinhost.h"
#include "datafolders.h"
#include "detectorsettings.h"
#include "eventfiles.h"
#include "eventreviewtools.h"
#include "featurebankgroup.h"
#include "metricgrid.h"
#include "receivercontrol.h"
#include "replaydialog.h"
#include "replayrunner.h"
#include "settingskeys.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QUrl>
#include <QUuid>
#include <QVBoxLayout>

#include <exception>

using AnomalyTexts::Text;

namespace {

constexpr int autoMode = 9;
constexpr double minimumBandHz = 100.0;

} // namespace

AnomalyPanel::AnomalyPanel(CorvinHost &host, AudioPanel &audio, QWidget *parent)
    : QWidget(parent)
    , m_host(host)
    , m_audio(audio)
{
    setObjectName(QStringLiteral("anomalyPanel"));
    buildUi();
    registerActivity();
}

void AnomalyPanel::buildUi()
{
    const AnomalySettings stored =
        DetectorSettings::read(DetectorSettings::lookupIn(m_host.settings()));
    auto *capture = new QGroupBox(tr("Anomaly capture - manual / automatic"), this);
    capture->setObjectName(QStringLiteral("anomalyCapture"));

    m_channel = new QComboBox(capture);
    m_channel->setObjectName(QStringLiteral("anomalyWavChannel"));
    m_channel->addItems({tr("Left / mono"), tr("Right")});
    m_channel->setCurrentIndex(stored.channel);
    const auto seconds = [capture](const char *name, int high, int value) {
        auto *box = new QSpinBox(capture);
        box->setObjectName(QLatin1String(name));
        box->setRange(1, high);
        box->setSuffix(QStringLiteral(" s"));
        box->setValue(value);
        return box;
    };
    m_pre = seconds("anomalyPre", 120, stored.preSeconds);
    m_post = seconds("anomalyPost", 300, stored.postSeconds);

    const auto button = [capture](const char *name, const QString &text) {
        auto *b = new QPushButton(text, capture);
        b->setObjectName(QLatin1String(name));
        return b;
    };
    m_arm = button("anomalyArm", tr("Arm"));
    m_test = button("anomalyTestTrigger", tr("Test trigger"));
    m_folder = button("anomalyEventsFolder", tr("Events folder"));
    m_analyze = button("anomalyAnalyzeLast", tr("Analyze last WAV"));
    m_test->setEnabled(false);
    m_analyze->setEnabled(false);
    m_status = new QLabel(AnomalyTexts::text(Text::CaptureIdle), capture);
    m_status->setObjectName(QStringLiteral("anomalyStatus"));
    m_status->setWordWrap(true);

    auto *grid = new QGridLayout(capture);
    grid->addWidget(new QLabel(tr("WAV channel"), capture), 0, 0);
    grid->addWidget(m_channel, 0, 1);
    grid->addWidget(new QLabel(tr("Pre-trigger"), capture), 0, 2);
    grid->addWidget(m_pre, 0, 3);
    grid->addWidget(new QLabel(tr("Post-trigger"), capture), 0, 4);
    grid->addWidget(m_post, 0, 5);
    auto *buttons = new QHBoxLayout;
    for (QPushButton *b : {m_arm, m_test, m_folder, m_analyze})
        buttons->addWidget(b);
    buttons->addStretch(1);
    grid->addLayout(buttons, 1, 0, 1, 7);
    grid->addWidget(m_status, 2, 0, 1, 7);
    grid->setColumnStretch(6, 1);

    m_featureBank = new FeatureBankGroup(m_host.settings(), this);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(capture);
    layout->addWidget(m_featureBank);
    auto *reviewTools =
        new EventReviewTools([this] { return m_featureBank->decisionConfig(); }, this);
    layout->addWidget(reviewTools);

    QSettings &settings = m_host.settings();
    connect(m_channel, qOverload<int>(&QComboBox::currentIndexChanged), this,
            [&settings](int index) {
                settings.setValue(QLatin1String(SettingsKeys::audioWavChannel), index);
            });
    connect(m_pre, qOverload<int>(&QSpinBox::valueChanged), this, [&settings](int value) {
        settings.setValue(QLatin1String(SettingsKeys::anomalyPre), value);
    });
    connect(m_post, qOverload<int>(&QSpinBox::valueChanged), this, [&settings](int value) {
        settings.setValue(QLatin1String(SettingsKeys::anomalyPost), value);
    });
    connect(m_arm, &QPushButton::clicked, this, &AnomalyPanel::toggleArm);
    connect(m_test, &QPushButton::clicked, this, &AnomalyPanel::testTrigger);
    connect(m_folder, &QPushButton::clicked, this, &AnomalyPanel::openEventsFolder);
    connect(m_analyze, &QPushButton::clicked, this,
            [this] { emit analyzeWavRequested(m_lastWav); });
    // The archive hands an event to the analyzer as "Analyze last WAV" does.
    connect(reviewTools, &EventReviewTools::wavSelected, this, &AnomalyPanel::analyzeWavRequested);
    // "Select and replay": the replay opens on the event once the archive has closed.
    connect(reviewTools, &EventReviewTools::replayRequested, this,
            [this](const QString &path) { openReplay(path); });
    connect(m_featureBank, &FeatureBankGroup::logMessage, this,
            [this](const QString &message) { m_host.appendLog(message); });
    connect(m_featureBank, &FeatureBankGroup::replayRequested, this, [this] { openReplay(); });
}

void AnomalyPanel::registerActivity()
{
    ActivityRegistry &activities = m_host.activities();
    activities.registerActivity(Activity::AnomalyCapture, this, [this] { return m_armed; });
    // The window disarms before it disconnects the receiver.
    activities.registerStop(Activity::AnomalyCapture, this,
                            [this] { disarm(AnomalyTexts::text(Text::Disarmed)); });
    activities.registerShutdownStep(ShutdownStep::AnomalyCapture, this,
                                    [this] { disarm(AnomalyTexts::text(Text::Disarmed)); });
    activities.registerShutdownStep(ShutdownStep::AnomalyEvents, this,
                                    [this] { writePendingEvents(); });
}

void AnomalyPanel::start()
{
    m_recorder = m_host.audioRecorder();
    m_audio.setWavChannelSelector(m_channel);
    if (!m_recorder)
        return;
    connect(m_recorder, &AudioRecorder::anomalyStopped, this, &AnomalyPanel::onStopped,
            Qt::QueuedConnection);
    connect(m_recorder, &AudioRecorder::anomalyObservationError, this,
            &AnomalyPanel::onObservationError, Qt::QueuedConnection);
    connect(m_recorder, &AudioRecorder::anomalyFeaturesReady, this, &AnomalyPanel::onFeatures,
            Qt::QueuedConnection);
    connect(m_recorder, &AudioRecorder::anomalyFeaturesError, this, &AnomalyPanel::onFeaturesError,
            Qt::QueuedConnection);
    connect(m_recorder, &AudioRecorder::anomalyDecisionReady, this, &AnomalyPanel::onDecision,
            Qt::QueuedConnection);
    connect(m_recorder, &AudioRecorder::anomalyProgress, this, &AnomalyPanel::onProgress,
            Qt::QueuedConnection);
    connect(m_recorder, &AudioRecorder::anomalyEventReady, this, &AnomalyPanel::onEvent,
            Qt::QueuedConnection);
}

template <typename F> auto AnomalyPanel::onAudioThread(F f) const
{
    decltype(f()) result{};
    QMetaObject::invokeMethod(
        m_recorder.data(), [&result, &f] { result = f(); }, Qt::BlockingQueuedConnection);
    return result;
}

QString AnomalyPanel::statusText() const
{
    return m_status->text();
}

void AnomalyPanel::setStatus(const QString &text)
{
    m_status->setText(text);
}

void AnomalyPanel::toggleArm()
{
    if (m_armed)
        disarm(AnomalyTexts::text(Text::Disarmed));
    else
        arm();
}

QString AnomalyPanel::armRefusal() const
{
    Corvindriver *driver = m_host.driver();
    if (!driver || !driver->isOpen() || !m_host.isIdle() || m_audio.selectedInputDevice().isNull())
        return AnomalyTexts::text(Text::ConnectFirst);
    const ReceiverControl &receiver = m_host.receiverControl();
    if (receiver.hasPendingTuning())
        return AnomalyTexts::text(Text::WaitForTuning);
    const Corvindriver::State &confirmed = driver->state();
    if (receiver.currentFrequency() != static_cast<qint64>(confirmed.frequency) ||
        receiver.modeIndex() != confirmed.mode || confirmed.mode == autoMode)
        return AnomalyTexts::text(Text::FixedFrequency);
    if (DataFolders::ensure(QLatin1String(DataFolders::anomaly)).isEmpty())
        return AnomalyTexts::text(Text::NoEventFolder);
    if (DataFolders::ensure(QLatin1String(DataFolders::anomalyObservations)).isEmpty())
        return AnomalyTexts::text(Text::NoObservationFolder);
    if (m_featureBank->analysisEnabled() &&
        m_featureBank->highHz() - m_featureBank->lowHz() < minimumBandHz)
        return AnomalyTexts::text(Text::BandTooNarrow);
    if (m_featureBank->automaticTrigger() && !m_featureBank->analysisEnabled())
        return AnomalyTexts::text(Text::AnalysisFirst);
    return QString();
}

void AnomalyPanel::arm()
{
    const QString refusal = armRefusal();
    if (!refusal.isEmpty() || !m_recorder) {
        setStatus(refusal.isEmpty() ? AnomalyTexts::text(Text::CannotArm) : refusal);
        return;
    }
    const ReceiverControl &receiver = m_host.receiverControl();
    const QAudioDeviceInfo device = m_audio.selectedInputDevice();
    const QString id = QUuid::createUuid().toString(QUuid::Id128);
    AnomalyArmRequest request;
    request.channel = m_channel->currentIndex();
    request.preSeconds = m_pre->value();
    request.postSeconds = m_post->value();
    request.monitor = m_featureBank->analysisEnabled();
    request.lowHz = m_featureBank->lowHz();
    request.highHz = m_featureBank->highHz();
    request.config = m_featureBank->decisionConfig();
    request.session = ++m_session;
    request.baseMetadata = QJsonObject{
        {QStringLiteral("frequency_hz"), static_cast<double>(m_host.driver()->state().frequency)},
        {QStringLiteral("mode"), receiver.modeText()},
        {QStringLiteral("audio_device"), device.deviceName()},
        {QStringLiteral("observation_id"), id},
        {QStringLiteral("observation_path"),
         QDir(DataFolders::path(QLatin1String(DataFolders::anomalyObservations)))
             .filePath(id + QStringLiteral(".json"))},
    };
    AudioRecorder *recorder = m_recorder.data();
    const bool armed = onAudioThread([recorder, &device, &request] {
        return recorder->startInput(device) && recorder->armAnomaly(request);
    });
    if (!armed) {
        // An input opened for nothing closes again.
        m_audio.refreshAudioStatus();
        setStatus(AnomalyTexts::text(Text::CannotArm));
        return;
    }
    setArmed(true);
    setStatus(AnomalyTexts::text(Text::Filling));
}

void AnomalyPanel::disarm(const QString &status)
{
    if (!m_armed)
        return;
    if (m_recorder) {
        AudioRecorder *recorder = m_recorder.data();
        onAudioThread([recorder] {
            recorder->disarmAnomaly();
            return true;
        });
    }
    setArmed(false);
    setStatus(status);
}

void AnomalyPanel::setArmed(bool armed)
{
    m_armed = armed;
    m_eventShown = false;
    m_arm->setText(armed ? tr("Disarm") : tr("Arm"));
    m_test->setEnabled(false);
    m_pre->setEnabled(!armed);
    m_post->setEnabled(!armed);
    m_featureBank->setArmed(armed);
    // The audio controls follow: the WAV channel is locked, an input nothing needs closes.
    m_audio.refreshAudioStatus();
    m_host.updateConnectionUi();
}

void AnomalyPanel::testTrigger()
{
    if (!m_armed || !m_recorder)
        return;
    AudioRecorder *recorder = m_recorder.data();
    if (onAudioThread([recorder] { return recorder->triggerAnomaly(); })) {
        m_test->setEnabled(false);
        setStatus(AnomalyTexts::text(Text::CapturingPost));
    } else {
        setStatus(AnomalyTexts::text(Text::TriggerUnavailable));
    }
}

void AnomalyPanel::openEventsFolder()
{
    const QString folder = DataFolders::ensure(QLatin1String(DataFolders::anomaly));
    if (folder.isEmpty() || !QDesktopServices::openUrl(QUrl::fromLocalFile(folder)))
        m_host.appendLog(tr("Could not open event folder."));
}

void AnomalyPanel::onStopped()
{
    if (!m_armed || !m_recorder)
        return;
    AudioRecorder *recorder = m_recorder.data();
    if (onAudioThread([recorder] { return recorder->isAnomalyArmed(); }))
        return;
    setArmed(false);
    setStatus(AnomalyTexts::text(Text::CaptureStopped));
}

void AnomalyPanel::onObservationError(const QString &path)
{
    m_host.appendLog(AnomalyTexts::text(Text::ObservationFailed) + path);
}

void AnomalyPanel::onFeatures(int session, int seconds, int historyRows,
                              const QVector<double> &values, double computeMs)
{
    if (m_armed && session == m_session)
        m_featureBank->metricGrid()->showFeatures(seconds, historyRows, values, computeMs);
}

void AnomalyPanel::onFeaturesError(int session, const QString &error)
{
    if (m_armed && session == m_session)
        m_featureBank->metricGrid()->showFeaturesError(error);
}

void AnomalyPanel::onDecision(int session, const QString &status, const QVector<double> &scores,
                              int learned, int active, int saved, int skipped)
{
    if (m_armed && session == m_session)
        m_featureBank->showDecision(status, scores, learned, active, saved, skipped);
}

void AnomalyPanel::onProgress(int bufferedSeconds, int remainingSeconds, bool recording)
{
    if (!m_armed)
        return;
    if (recording) {
        m_eventShown = false;
        m_test->setEnabled(false);
        setStatus(AnomalyTexts::text(Text::CapturingRemaining).arg(remainingSeconds));
        return;
    }
    const bool ready = bufferedSeconds >= m_pre->value();
    m_test->setEnabled(ready);
    // The end of a capture reports a ready buffer right after its event: the event's outcome
    // ("Saved: ...") stays in view until the next capture.
    if (!(ready && m_eventShown))
        setStatus(AnomalyTexts::bufferStatus(bufferedSeconds, m_pre->value(), ready));
}

void AnomalyPanel::onEvent(const QByteArray &pcm, const QJsonObject &metadata)
{
    // Created again should it have gone since arming; a failure shows in the write.
    QString folder = DataFolders::ensure(QLatin1String(DataFolders::anomaly));
    if (folder.isEmpty())
        folder = DataFolders::path(QLatin1String(DataFolders::anomaly));
    const EventFiles::Result written = EventFiles::write(folder, pcm, metadata);
    if (!written.wavWritten) {
        m_host.appendLog(AnomalyTexts::text(Text::EventWavFailed) +
                         QDir::toNativeSeparators(written.wavPath));
        disarm(AnomalyTexts::text(Text::EventWavFailedDisarmed));
        setStatus(AnomalyTexts::text(Text::EventWavFailedDisarmed));
        return;
    }
    if (!written.jsonWritten)
        m_host.appendLog(AnomalyTexts::text(Text::EventJsonFailed) +
                         QDir::toNativeSeparators(written.jsonPath));
    m_lastWav = written.wavPath;
    m_eventShown = true;
    m_analyze->setEnabled(true);
    m_host.appendLog(AnomalyTexts::text(Text::EventSaved) +
                     QDir::toNativeSeparators(written.wavPath));
    setStatus(AnomalyTexts::text(Text::Saved) + QFileInfo(written.wavPath).fileName());
}

void AnomalyPanel::writePendingEvents()
{
    // The audio thread has stopped: what it sent last waits in this object's event queue.
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
}

void AnomalyPanel::setCurrentWavSource(std::function<QString()> currentWav)
{
    m_currentWav = std::move(currentWav);
}

void AnomalyPanel::openReplay(const QString &path)
{
    QString wav = path;
    if (wav.isEmpty()) {
        const QString current = m_currentWav ? m_currentWav() : QString();
        wav = QFileDialog::getOpenFileName(this, tr("Replay PCM16 WAV"), current,
                                           tr("WAV (*.wav *.wave)"));
        if (wav.isEmpty())
            return;
    }
    auto runner = std::make_unique<ReplayRunner>();
    try {
        runner->open(wav);
    } catch (const std::exception &e) {
        QMessageBox::warning(this, tr("Replay error"), ReplayDialog::errorText(e));
        return;
    }
    // The replay keeps the settings of this moment; later changes here do not reach it.
    AnomalySettings settings;
    settings.monitor = m_featureBank->analysisEnabled();
    settings.lowHz = m_featureBank->lowHz();
    settings.highHz = m_featureBank->highHz();
    settings.preSeconds = m_pre->value();
    settings.postSeconds = m_post->value();
    settings.channel = m_channel->currentIndex();
    settings.decision = m_featureBank->decisionConfig();
    m_replay = new ReplayDialog(std::move(runner), wav, settings, this);
    m_replay->setAttribute(Qt::WA_DeleteOnClose);
    m_replay->show();
}
