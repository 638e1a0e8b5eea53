#include "anomalysession.h"

#include "anomalyjson.h"
#include "observationlogwriter.h"

#include <QJsonDocument>

#include <exception>
#include <new>

namespace {

constexpr int maximumRate = 192000;
constexpr int minimumPre = 1;
constexpr int maximumPre = 120;
constexpr int minimumPost = 1;
constexpr int maximumPost = 300;
constexpr int schemaVersion = 1;
constexpr const char *manualTriggerType = "MANUAL_TEST";

QString key(const char *name)
{
    return QString::fromLatin1(name);
}

} // namespace

AnomalySession::AnomalySession(QObject *parent)
    : QObject(parent)
    , m_writer(new ObservationLogWriter(this))
    , m_valuesOut(AnomalyMetrics::count, 0.0)
    , m_scoresOut(AnomalyMetrics::count, 0.0)
{
    connect(m_writer, &ObservationLogWriter::writeFailed, this,
            &AnomalySession::anomalyObservationError);
}

AnomalySession::~AnomalySession()
{
    disarm();
    // The writer finishes its queue when it is destroyed with the session.
}

bool AnomalySession::arm(const AnomalyArmRequest &request, int sampleRate, int channelCount)
{
    if (m_armed || request.channel < 0 || request.channel >= channelCount ||
        request.preSeconds < minimumPre || request.preSeconds > maximumPre ||
        request.postSeconds < minimumPost || request.postSeconds > maximumPost || sampleRate < 1 ||
        sampleRate > maximumRate)
        return false;
    try {
        m_bank.reset();
        if (request.monitor)
            m_bank.configure(sampleRate, request.lowHz, request.highHz);
        const auto rate = static_cast<std::size_t>(sampleRate);
        m_capture.allocate(static_cast<std::size_t>(request.preSeconds) * rate,
                           static_cast<std::size_t>(request.postSeconds) * rate);
    } catch (const std::exception &) {
        m_bank.reset();
        m_capture.release();
        return false;
    }

    QJsonObject base = request.baseMetadata;
    m_observationPath = base.take(key("observation_path")).toString();
    base.insert(key("analysis_low_hz"), request.lowHz);
    base.insert(key("analysis_high_hz"), request.highHz);
    base.insert(key("automatic"), request.config.automatic);
    base.insert(key("monitor_enabled"), request.monitor);
    base.insert(key("sample_rate_hz"), sampleRate);
    base.insert(key("source_channels"), channelCount);
    base.insert(key("source_channel_index"), request.channel);
    base.insert(key("output_channels"), 1);
    base.insert(key("bits_per_sample"), 16);
    base.insert(key("pre_seconds_requested"), request.preSeconds);
    base.insert(key("post_seconds_requested"), request.postSeconds);
    base.insert(key("processing"), QStringLiteral("raw PCM, selected channel only"));
    m_baseMetadata = base;
    m_armUtc = AnomalyJson::utcNow();

    m_channel = request.channel;
    m_channels = channelCount;
    m_rate = sampleRate;
    m_session = request.session;
    m_monitor = request.monitor;
    m_config = request.config;
    m_policy.reset(m_config, request.postSeconds);
    m_triggerMetadata = QJsonObject();
    m_triggerUtc.clear();
    m_manualCapture = false;
    m_pcmSamples = 0;
    m_monitoredSeconds = 0;
    m_manualStarted = 0;
    m_autoCompleted = 0;
    m_manualCompleted = 0;
    m_completed = 0;
    m_lastBuffered = -1;
    m_lastRemaining = -1;
    m_armed = true;
    writeObservation(false);
    return true;
}

void AnomalySession::disarm()
{
    if (!m_armed)
        return;
    writeObservation(true);
    m_armed = false;
    m_capture.release();
    m_bank.reset();
    m_monitor = false;
    m_baseMetadata = QJsonObject();
    m_observationPath.clear();
    emit anomalyStopped();
}

bool AnomalySession::manualTrigger()
{
    if (!m_armed || !startCapture(AnomalyJson::manualTrigger()))
        return false;
    ++m_manualStarted;
    return true;
}

void AnomalySession::waitForObservationWrites()
{
    m_writer->waitForWrites();
}

void AnomalySession::processBlock(const qint16 *samples, int frameCount)
{
    if (!m_armed)
        return;
    const quint64 perMinute = static_cast<quint64>(m_rate) * 60;
    const quint64 minuteBefore = m_pcmSamples / perMinute;
    const qint16 *sample = samples + m_channel;
    for (int frame = 0; frame < frameCount; ++frame, sample += m_channels) {
        ++m_pcmSamples;
        if (m_capture.push(*sample)) {
            completeCapture();
            if (!m_armed)
                return;
        }
        if (!m_monitor)
            continue;
        // Whatever fails in the second's work (features, their publication, the decision, the
        // trigger's metadata) stops the analysis only: the ring and any capture go on.
        try {
            if (m_bank.pushSample(*sample, &m_update))
                onUpdate();
        } catch (const std::exception &error) {
            stopMonitor(error.what());
        }
        if (!m_armed)
            return;
    }
    // A checkpoint for every minute of received audio, whatever the wall clock says.
    if (m_pcmSamples / perMinute != minuteBefore)
        writeObservation(false);
    emitProgress();
}

void AnomalySession::onUpdate()
{
    ++m_monitoredSeconds;
    double *values = m_valuesOut.data();
    for (int i = 0; i < AnomalyMetrics::count; ++i)
        values[i] = m_update.values[static_cast<std::size_t>(i)];
    emit anomalyFeaturesReady(m_session, static_cast<int>(m_update.seconds), m_update.historyRows,
                              m_valuesOut, m_update.computeMs);
    // Decisions wait for a full pre-trigger ring, so a capture always has its pre part.
    if (!m_capture.ringFull())
        return;
    try {
        decide();
    } catch (const std::exception &error) {
        stopMonitor(error.what());
    }
}

void AnomalySession::decide()
{
    TriggerPolicy::Step step = m_policy.step(m_update, m_capture.isCapturing());
    if (step.capture == TriggerPolicy::Capture::Start) {
        if (startCapture(AnomalyJson::automaticTrigger(step, m_update, m_config)))
            m_policy.captureStarted(m_update.seconds);
        else
            m_policy.captureFailed(step);
    }
    double *scores = m_scoresOut.data();
    for (int i = 0; i < AnomalyMetrics::count; ++i)
        scores[i] = step.result.scores[static_cast<std::size_t>(i)];
    emit anomalyDecisionReady(m_session, TriggerPolicy::statusText(step), m_scoresOut,
                              step.result.learned, static_cast<int>(step.result.activeMask),
                              m_completed, m_policy.skipped());
}

bool AnomalySession::startCapture(const QJsonObject &trigger)
{
    if (!m_armed || !m_capture.start())
        return false;
    m_triggerMetadata = trigger;
    m_triggerUtc = AnomalyJson::utcNow();
    m_manualCapture =
        trigger.value(key("trigger_type")).toString() == QLatin1String(manualTriggerType);
    return true;
}

void AnomalySession::completeCapture()
{
    std::size_t pre = 0;
    QByteArray pcm;
    QJsonObject metadata = m_baseMetadata;
    try {
        pcm = m_capture.takeEvent(&pre);
        for (auto it = m_triggerMetadata.constBegin(); it != m_triggerMetadata.constEnd(); ++it)
            metadata.insert(it.key(), it.value());
        const auto total = static_cast<double>(pcm.size() / 2);
        metadata.insert(key("trigger_utc"), m_triggerUtc);
        metadata.insert(key("pre_samples"), static_cast<double>(pre));
        metadata.insert(key("post_samples"), total - static_cast<double>(pre));
        metadata.insert(key("total_samples"), total);
        metadata.insert(key("complete"), true);
    } catch (const std::bad_alloc &) {
        // No memory for the event: it is lost, and the session stops rather than go on
        // capturing what it cannot deliver.
        disarm();
        return;
    }
    ++m_completed;
    ++(m_manualCapture ? m_manualCompleted : m_autoCompleted);
    emit anomalyEventReady(pcm, metadata);
}

void AnomalySession::stopMonitor(const char *error)
{
    m_bank.reset();
    m_monitor = false;
    emit anomalyFeaturesError(m_session, QString::fromUtf8(error));
}

void AnomalySession::writeObservation(bool closed)
{
    if (m_observationPath.isEmpty())
        return;
    try {
        m_writer->write(m_observationPath, observationLog(closed));
    } catch (const std::bad_alloc &) {
        emit anomalyObservationError(m_observationPath);
    }
}

QByteArray AnomalySession::observationLog(bool closed) const
{
    QJsonObject log = m_baseMetadata;
    log.insert(key("schema_version"), schemaVersion);
    log.insert(key("start_utc"), m_armUtc);
    log.insert(key("checkpoint_utc"), AnomalyJson::utcNow());
    log.insert(key("closed"), closed);
    log.insert(key("pcm_samples"), static_cast<double>(m_pcmSamples));
    log.insert(key("monitored_seconds"), static_cast<double>(m_monitoredSeconds));
    log.insert(key("eligible_auto_seconds"), static_cast<double>(m_policy.eligibleAutoSeconds()));
    log.insert(key("new_events"), static_cast<double>(m_policy.newEvents()));
    log.insert(key("change_events"), static_cast<double>(m_policy.changeEvents()));
    log.insert(key("end_events"), static_cast<double>(m_policy.endEvents()));
    log.insert(key("auto_started"), static_cast<double>(m_policy.autoStarted()));
    log.insert(key("manual_started"), static_cast<double>(m_manualStarted));
    log.insert(key("auto_completed_pcm"), static_cast<double>(m_autoCompleted));
    log.insert(key("manual_completed_pcm"), static_cast<double>(m_manualCompleted));
    log.insert(key("skipped"), m_policy.skipped());
    log.insert(key("pending_capture"), m_capture.isCapturing());
    log.insert(key("decision_config"), AnomalyJson::decisionConfig(m_config, true));
    log.insert(key("rules"), AnomalyJson::rules(m_config));
    return QJsonDocument(log).toJson(QJsonDocument::Indented);
}

void AnomalySession::emitProgress()
{
    const auto rate = static_cast<std::size_t>(m_rate);
    const int buffered = static_cast<int>(m_capture.filled() / rate);
    const int remaining = static_cast<int>((m_capture.remaining() + rate - 1) / rate);
    if (buffered == m_lastBuffered && remaining == m_lastRemaining)
        return;
    m_lastBuffered = buffered;
    m_lastRemaining = remaining;
    emit anomalyProgress(buffered, remaining, m_capture.isCapturing());
}
