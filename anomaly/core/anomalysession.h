#pragma once

// The armed anomaly recorder of one fixed receiver frequency. Fed the raw input blocks of the
// audio engine, it keeps a pre-trigger ring of the selected channel's PCM, feeds the live
// feature bank and the trigger policy, captures events (ring + post-trigger seconds) on a
// manual test trigger or an automatic decision, and keeps the arm's observation log.
//
// Per received sample, in this order: count it, write it into the ring, append it to a running
// capture, push it into the feature bank. So an automatic capture's pre-trigger part ends with
// the last sample of the second that decided, a manual one's with the last sample received
// before the request.
//
// A standard exception during a second's analysis (features, their publication, the decision,
// a trigger's metadata) stops the analysis only, with anomalyFeaturesError: the ring and any
// capture go on, so manual capture stays available.
//
// Thread affinity: lives on the audio thread with the engine that feeds it; every method runs
// there. Its results leave through the signals below (queued to the GUI); observation logs are
// saved by a writer thread of its own. arm() allocates every buffer and plans the transforms:
// taking samples, computing features and deciding then neither lock nor allocate (the signals
// carry shared copies of buffers the session keeps).

#include "anomalymetric.h"
#include "decisionconfig.h"
#include "eventcapture.h"
#include "livefeaturebank.h"
#include "triggerpolicy.h"

#include <QByteArray>
#include <QJsonObject>
#include <QObject>
#include <QString>
#include <QVector>

class ObservationLogWriter;

// What the capture panel arms with.
struct AnomalyArmRequest
{
    int channel = 0;          // 0-based within the input's channels
    int preSeconds = 15;      // 1-120
    int postSeconds = 20;     // 1-300
    QJsonObject baseMetadata; // the GUI's part; observation_path names the log file
    bool monitor = true;      // compute features (and decisions)
    double lowHz = 80.0;      // analysis band, Hz
    double highHz = 6000.0;
    int session = 0;       // echoed in the feature, decision and error signals
    DecisionConfig config; // its automatic flag decides capture or preview
};

class AnomalySession : public QObject
{
    Q_OBJECT

public:
    explicit AnomalySession(QObject *parent = nullptr);
    // Writes the closing log of a session still armed and every queued log.
    ~AnomalySession() override;

    // For an input running at sampleRate Hz with channelCount interleaved channels. Fails
    // (false, nothing changes) when already armed, the channel is not in the input, pre or post
    // seconds are out of range, the rate is not 1-192000 Hz, the feature bank refuses the band
    // (with analysis on) or memory is short. Writes the first observation log.
    bool arm(const AnomalyArmRequest &request, int sampleRate, int channelCount);
    // Writes the closing observation log, discards an unfinished capture, frees the buffers and
    // emits anomalyStopped, when armed; otherwise nothing.
    void disarm();
    // Starts a capture now: needs the ring full and no capture running. Does not use or move
    // the cooldown.
    bool manualTrigger();
    bool isArmed() const { return m_armed; }

    // One block of whole frames, interleaved signed 16-bit, channelCount channels as armed.
    void processBlock(const qint16 *samples, int frameCount);

    // Blocks until every observation log queued so far is on disk (tests, shutdown).
    void waitForObservationWrites();

signals:
    void anomalyStopped();
    // message: the observation file path that could not be written.
    void anomalyObservationError(QString message);
    void anomalyDecisionReady(int session, QString status, QVector<double> scores, int learned,
                              int active, int saved, int skipped);
    void anomalyFeaturesReady(int session, int seconds, int historyRows, QVector<double> values,
                              double computeMs);
    void anomalyFeaturesError(int session, QString error);
    void anomalyProgress(int bufferedSeconds, int remainingSeconds, bool recording);
    // pcm: signed 16-bit little-endian mono samples.
    void anomalyEventReady(QByteArray pcm, QJsonObject metadata);

private:
    void onUpdate();
    void decide();
    bool startCapture(const QJsonObject &trigger);
    void completeCapture();
    void stopMonitor(const char *error);
    void writeObservation(bool closed);
    QByteArray observationLog(bool closed) const;
    void emitProgress();

    ObservationLogWriter *m_writer;
    LiveFeatureBank m_bank;
    TriggerPolicy m_policy;
    EventCapture m_capture;
    FeatureUpdate m_update;

    bool m_armed = false;
    bool m_monitor = false;
    int m_session = 0;
    int m_channel = 0;
    int m_channels = 1;
    int m_rate = 0;
    DecisionConfig m_config;
    QJsonObject m_baseMetadata;
    QString m_observationPath;
    QString m_armUtc;
    QJsonObject m_triggerMetadata;
    QString m_triggerUtc;
    bool m_manualCapture = false;

    quint64 m_pcmSamples = 0;
    quint64 m_monitoredSeconds = 0;
    quint64 m_manualStarted = 0;
    quint64 m_autoCompleted = 0;
    quint64 m_manualCompleted = 0;
    int m_completed = 0;
    int m_lastBuffered = -1;
    int m_lastRemaining = -1;

    QVector<double> m_valuesOut;
    QVector<double> m_scoresOut;
};
