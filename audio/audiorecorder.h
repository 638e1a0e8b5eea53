#pragma once

#include "anomalysession.h"
#include "audioanalysisresult.h"
#include "audioformats.h"
#include "blockspectrum.h"
#include "playbackconverter.h"
#include "signalanalysis.h"
#include "wavfilewriter.h"

#include <QAudioDeviceInfo>
#include <QAudioFormat>
#include <QByteArray>
#include <QObject>
#include <QVector>

#include <array>
#include <memory>
#include <vector>

class AnomalyStage;
class AudioBlockConsumer;
class PlaybackFilter;
class QAudioInput;
class QAudioOutput;
class QIODevice;
class QTimer;

// What the recorder is doing, as reported by queryState().
struct AudioRecorderState
{
    bool listening = false;
    bool spectrumOn = false;
    bool recording = false;
    bool inputRunning = false;
    QAudioFormat inputFormat;
    QAudioFormat outputFormat;
};

Q_DECLARE_METATYPE(AudioRecorderState)

// The audio engine: owns the audio input for the whole run and serves every captured block, in
// this order, to the peak meter, the hosted block consumers (RF capture, anomaly session), the
// "Listen on PC" playback (filter, channel mapping, resampling, volume), the WAV recording and
// the 4096-sample block spectrum (live spectrum and signal measurement).
//
// Thread affinity: lives on its own audio thread; every method runs there. The GUI thread calls
// the bool-returning operations, stopAll, stopPlayback, stopRecording, setSpectrumEnabled,
// cancelAnalysis and queryState through blocking queued invocations, setPlaybackVolume and
// setFilterPreset through plain queued ones; never block on it from the audio thread itself.
// Results come back as signals. All state is confined to the audio thread, so there are no locks.
class AudioRecorder : public QObject
{
    Q_OBJECT

public:
    // Hook points of the consumers that see the raw block between the peak meter and playback.
    enum class BlockStage { RfCapture = 0, Anomaly = 1 };

    explicit AudioRecorder(QObject *parent = nullptr);
    ~AudioRecorder() override;

    // Installs (or with nullptr removes) the consumer of a stage; not owned. Audio thread.
    void setBlockConsumer(BlockStage stage, AudioBlockConsumer *consumer);

    // Narrows the formats negotiated for inputs or outputs beyond what the device reports. Sound
    // servers such as PulseAudio accept every format and convert internally; a constraint makes
    // the engine's own channel mapping and resampling take over. Applies to the next start.
    void setFormatConstraint(QAudio::Mode mode, AudioFormats::Constraint constraint);

    Q_INVOKABLE bool startInput(const QAudioDeviceInfo &device);
    Q_INVOKABLE void stopAll();
    // volume 0-1. Needs a running input (else false, silently).
    Q_INVOKABLE bool startPlayback(const QAudioDeviceInfo &device, double volume);
    Q_INVOKABLE void stopPlayback();
    Q_INVOKABLE void setPlaybackVolume(double volume);
    // 0 = Off, 1 = Voice, 2 = Narrow voice; survives input restarts.
    Q_INVOKABLE void setFilterPreset(int preset);
    // Records one channel (0 = left/mono, 1 = right) to a mono 16-bit WAV file.
    Q_INVOKABLE bool startRecording(const QString &path, int channel);
    Q_INVOKABLE void stopRecording();
    Q_INVOKABLE void setSpectrumEnabled(bool enabled);
    // Measures the live audio for durationMs; the result comes with signalAnalysisReady.
    Q_INVOKABLE bool startAnalysis(int request, int durationMs, double thresholdDbfs);
    Q_INVOKABLE void cancelAnalysis();
    // Reports the state; with inputNeededElsewhere false, an input nothing uses is closed first.
    Q_INVOKABLE AudioRecorderState queryState(bool inputNeededElsewhere);

    // Anomaly capture: the session served at the Anomaly stage (see AnomalySession). Arming
    // needs a running input and fails, changing nothing, for a channel outside the input, pre
    // or post seconds out of range, or a band the feature bank refuses. Stopping the input
    // disarms. The results come back with the anomaly signals.
    Q_INVOKABLE bool armAnomaly(const AnomalyArmRequest &request);
    Q_INVOKABLE void disarmAnomaly();
    // A manual test trigger: needs a full pre-trigger buffer and no capture running.
    Q_INVOKABLE bool triggerAnomaly();
    Q_INVOKABLE bool isAnomalyArmed() const;

    // Running input format (invalid while closed).
    QAudioFormat inputFormat() const { return m_inputFormat; }

signals:
    // Anomaly capture, as AnomalySession's signals of the same names.
    void anomalyStopped();
    void anomalyObservationError(QString message);
    void anomalyDecisionReady(int session, QString status, QVector<double> scores, int learned,
                              int active, int saved, int skipped);
    void anomalyFeaturesReady(int session, int seconds, int historyRows, QVector<double> values,
                              double computeMs);
    void anomalyFeaturesError(int session, QString error);
    void anomalyProgress(int bufferedSeconds, int remainingSeconds, bool recording);
    void anomalyEventReady(QByteArray pcm, QJsonObject metadata);
    // Largest sample magnitude 0-32768 of each read; (-1, false) when the input stops.
    void inputPeakChanged(int magnitude, bool clipped);
    // Frequencies (Hz) and magnitudes (dBFS, -100 ... 0) of one block, 2049 values each.
    void spectrumReady(QVector<double> frequencies, QVector<double> magnitudes);
    void errorOccurred(QString message);
    // Whole seconds written to the WAV file: 0 at the start, then at every change.
    void recordingDurationChanged(qint64 seconds);
    void signalAnalysisReady(int request, AudioAnalysisResult result);
    void rfPsdReady(int request, double spacing, QVector<double> power, int windows,
                    double clipped);

private:
    void readInput();
    void processBlock(qint16 *samples, int frameCount);
    void processSpectrumBlock(const std::array<std::vector<double>, 2> &amplitudes, int channels);
    void queuePlayback(const qint16 *samples, int frameCount);
    void pushPlayback();
    void writeWav(const qint16 *samples, int frameCount);
    void releaseOutput();
    void finishRecording();
    void onInputStateChanged();
    void onOutputStateChanged();
    void setUpAnomalySession();

    QAudioFormat m_inputFormat;
    QAudioFormat m_outputFormat;
    AudioFormats::Constraint m_inputConstraint;
    AudioFormats::Constraint m_outputConstraint;
    QAudioInput *m_input = nullptr;
    QIODevice *m_inputDevice = nullptr;
    QString m_inputName;
    QAudioOutput *m_output = nullptr;
    QIODevice *m_outputDevice = nullptr;
    QString m_outputName;
    QByteArray m_carry;
    QByteArray m_playbackBlock;
    QByteArray m_queue;
    PlaybackConverter m_converter;
    QTimer *m_pushTimer;
    int m_filterPreset = 0;
    std::unique_ptr<PlaybackFilter> m_filter;
    WavFileWriter m_wav;
    int m_wavChannel = 0;
    qint64 m_reportedSeconds = 0;
    bool m_spectrumEnabled = false;
    SpectrumBlocks m_blocks;
    QVector<double> m_frequencies;
    QVector<double> m_magnitudes;
    std::vector<double> m_power;
    SignalAnalysis m_analysis;
    std::array<AudioBlockConsumer *, 2> m_consumers{};
    AnomalySession *m_anomaly = nullptr;
    std::unique_ptr<AnomalyStage> m_anomalyStage;
};
