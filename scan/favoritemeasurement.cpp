#include "favoritemeasurement.h"

#include "activityregistry.h"
#include "audiorecorder.h"
#include "corvindriver.h"
#include "corvinhost.h"
#include "favoriteattributes.h"
#include "favoritecolumns.h"
#include "measurementrequests.h"
#include "receivercontrol.h"

#include <QDateTime>

namespace {
constexpr int autoMode = 9; // the AUTO entry: no effective mode
}

FavoriteMeasurement::FavoriteMeasurement(CorvinHost &host, MeasurementRequests &requests,
                                         QObject *parent)
    : QObject(parent)
    , m_host(host)
    , m_requests(requests)
    , m_audioSettings([&host] { return SmartAudioSettings::read(host.settings()); })
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &FavoriteMeasurement::favoriteStep);
    if (AudioRecorder *recorder = m_host.audioRecorder()) {
        connect(recorder, &AudioRecorder::signalAnalysisReady, this,
                [this](int request, const AudioAnalysisResult &result) {
                    if (m_pending && m_pending->analysing && request == m_requests.current())
                        finishFavorite(&result);
                });
    }
    // Only an input this measurement started can be lost; before the analysis starts the panel
    // may find the input closed without anything being wrong.
    m_host.onAudioInputLost(this, [this] {
        if (!m_pending || !m_pending->analysing)
            return;
        log(tr("Audio input was lost while measuring the favorite."));
        finishFavorite(nullptr);
    });
    m_host.activities().registerActivity(Activity::FavoriteMeasurement, this,
                                         [this] { return isPending(); });
}

void FavoriteMeasurement::setAudioSettingsSource(std::function<SmartAudioSettings()> source)
{
    m_audioSettings = std::move(source);
}

void FavoriteMeasurement::log(const QString &message)
{
    m_host.appendLog(message);
}

void FavoriteMeasurement::begin(const QString &name)
{
    if (m_pending)
        return;
    ReceiverControl &receiver = m_host.receiverControl();
    PendingFavorite favorite;
    favorite.frequency = receiver.currentFrequency();
    favorite.name = name;
    favorite.mode = receiver.modeText();
    favorite.discovered = FavoriteAttributes::utcText(QDateTime::currentDateTimeUtc());
    m_pending = favorite;
    m_requests.next();

    Corvindriver *driver = m_host.driver();
    if (!driver || !driver->isOpen()) {
        log(tr("Favorite measurements unavailable because the receiver is disconnected."));
        finishFavorite(nullptr);
        return;
    }
    m_host.updateConnectionUi();
    emit statusChanged(tr("Measuring %1 MHz for Favorites...")
                           .arg(FavoriteColumns::frequencyText(favorite.frequency)));
    receiver.clearRequestQueue();
    const Corvindriver::State &state = driver->state();
    const int mode = receiver.modeIndex();
    const bool modeOk = mode == state.mode || driver->setMode(mode);
    const bool tuned = modeOk && (favorite.frequency == static_cast<qint64>(state.frequency) ||
                                  driver->tune(favorite.frequency));
    if (!tuned) {
        log(tr("Could not tune the receiver to measure the favorite."));
        finishFavorite(nullptr);
        return;
    }
    const int effective = driver->state().effectiveMode;
    if (mode == autoMode && effective != autoMode)
        m_pending->mode = receiver.modeCaption(effective);
    m_timer.start(settleMs);
}

void FavoriteMeasurement::favoriteStep()
{
    if (!m_pending)
        return;
    if (m_pending->analysing) {
        log(tr("Favorite audio analysis timed out before enough samples arrived."));
        finishFavorite(nullptr);
        return;
    }
    ++m_pending->attempts;
    int level = 0;
    QString error;
    if (m_host.driver()->readSignalLevel(&level, &error)) {
        m_pending->sMeter = level;
        m_host.receiverControl().showSignalLevel(level);
    } else {
        log(tr("Favorite S-meter reading failed (%1/%2). %3")
                .arg(m_pending->attempts)
                .arg(maxAttempts)
                .arg(error));
        if (m_pending->attempts < maxAttempts) {
            m_timer.start(retryMs);
            return;
        }
    }
    startAnalysis();
}

void FavoriteMeasurement::startAnalysis()
{
    const SmartAudioSettings settings = m_audioSettings();
    AudioRecorder *recorder = m_host.audioRecorder();
    const int request = m_requests.current();
    bool started = false;
    if (recorder && m_host.startAudioInput()) {
        QMetaObject::invokeMethod(
            recorder,
            [recorder, request, settings] {
                return recorder->startAnalysis(request, settings.durationMs,
                                               settings.thresholdDbfs);
            },
            Qt::BlockingQueuedConnection, &started);
    }
    if (!started) {
        log(tr("Could not start audio analysis for the favorite."));
        finishFavorite(nullptr);
        return;
    }
    m_pending->analysing = true;
    m_timer.start(settings.durationMs + analysisGraceMs);
    m_host.refreshAudioStatus();
}

void FavoriteMeasurement::cancel()
{
    if (m_pending)
        finishFavorite(nullptr);
}

void FavoriteMeasurement::finishFavorite(const AudioAnalysisResult *result)
{
    m_timer.stop();
    const PendingFavorite favorite = *m_pending;
    m_pending.reset();
    AudioRecorder *recorder = m_host.audioRecorder();
    if (favorite.analysing && !result && recorder) {
        QMetaObject::invokeMethod(
            recorder, [recorder] { recorder->cancelAnalysis(); }, Qt::BlockingQueuedConnection);
    }
    const QJsonObject attributes = FavoriteAttributes::measurementToAttributes(
        FavoriteAttributes::favoriteMeasurement(favorite.discovered, favorite.sMeter, result));
    emit finished(favorite, attributes, result && favorite.sMeter >= 0);
}
