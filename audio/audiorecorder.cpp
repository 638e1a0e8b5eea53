#include "audiorecorder.h"

#include "anomalystage.h"
#include "audioblockconsumer.h"
#include "audioformats.h"
#include "playbackfilter.h"

#include <QAudioInput>
#include <QAudioOutput>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace {

constexpr qint64 kInputBufferUs = 80000;
constexpr qint64 kOutputBufferUs = 60000;
constexpr qint64 kQueueCapUs = 80000;
constexpr int kPushIntervalMs = 10;

} // namespace

AudioRecorder::AudioRecorder(QObject *parent)
    : QObject(parent)
    , m_pushTimer(new QTimer(this))
    , m_frequencies(BlockSpectrum::bins, 0.0)
    , m_magnitudes(BlockSpectrum::bins, -100.0)
    , m_power(BlockSpectrum::bins, 0.0)
{
    qRegisterMetaType<AudioAnalysisResult>("AudioAnalysisResult");
    qRegisterMetaType<QVector<double>>("QVector<double>");
    qRegisterMetaType<AudioRecorderState>("AudioRecorderState");
    m_pushTimer->setInterval(kPushIntervalMs);
    m_pushTimer->setTimerType(Qt::PreciseTimer);
    connect(m_pushTimer, &QTimer::timeout, this, &AudioRecorder::pushPlayback);
    setUpAnomalySession();
}

AudioRecorder::~AudioRecorder()
{
    stopAll();
}

void AudioRecorder::setBlockConsumer(BlockStage stage, AudioBlockConsumer *consumer)
{
    m_consumers[static_cast<size_t>(stage)] = consumer;
}

void AudioRecorder::setFormatConstraint(QAudio::Mode mode, AudioFormats::Constraint constraint)
{
    (mode == QAudio::AudioInput ? m_inputConstraint : m_outputConstraint) = std::move(constraint);
}

bool AudioRecorder::startInput(const QAudioDeviceInfo &device)
{
    if (m_input) {
        return true;
    }
    const QAudioFormat format = AudioFormats::choose(device, QAudioFormat(), m_inputConstraint);
    if (!format.isValid()) {
        emit errorOccurred(
            device.isNull()
                ? tr("No audio input is available.")
                : tr("No supported 16-bit PCM input format for %1.").arg(device.deviceName()));
        return false;
    }
    m_inputFormat = format;
    m_inputName = device.deviceName();
    m_input = new QAudioInput(device, format, this);
    m_input->setBufferSize(AudioFormats::bufferBytes(format, kInputBufferUs));
    m_inputDevice = m_input->start();
    if (!m_inputDevice || m_input->error() != QAudio::NoError) {
        const int code = static_cast<int>(m_input->error());
        const QString name = m_inputName;
        stopAll();
        emit errorOccurred(tr("Could not open audio input %1 (error %2).").arg(name).arg(code));
        return false;
    }

    m_filter = std::make_unique<PlaybackFilter>(format.sampleRate(), format.channelCount());
    m_filter->selectPreset(m_filterPreset, false);
    m_blocks.setChannels(format.channelCount());
    connect(m_inputDevice, &QIODevice::readyRead, this, &AudioRecorder::readInput);
    connect(m_input, &QAudioInput::stateChanged, this, &AudioRecorder::onInputStateChanged);
    for (int i = 0; i < BlockSpectrum::bins; ++i) {
        m_frequencies[i] = double(format.sampleRate()) * i / BlockSpectrum::size;
    }
    return true;
}

void AudioRecorder::onInputStateChanged()
{
    auto *input = qobject_cast<QAudioInput *>(sender());
    if (!input || input != m_input || input->state() != QAudio::StoppedState) {
        return;
    }
    const int code = static_cast<int>(input->error());
    const QString name = m_inputName;
    stopAll();
    emit errorOccurred(tr("Audio input %1 stopped (error %2).").arg(name).arg(code));
}

void AudioRecorder::stopAll()
{
    for (AudioBlockConsumer *consumer : m_consumers) {
        if (consumer) {
            consumer->inputStopped();
        }
    }
    stopPlayback();
    finishRecording();
    const bool wasOpen = m_input != nullptr;
    if (m_input) {
        disconnect(m_input, nullptr, this, nullptr);
        if (m_inputDevice) {
            disconnect(m_inputDevice, nullptr, this, nullptr);
        }
        m_input->stop();
        // Deferred, as this may run inside the input's own state notification. Without a
        // parent: when the audio thread ends, the recorder's own deferred deletion may come
        // first and delete the input as its child, and the input's pending deletion then
        // reached a deleted object (a crash at exit).
        m_input->setParent(nullptr);
        m_input->deleteLater();
    }
    m_input = nullptr;
    m_inputDevice = nullptr;
    m_inputFormat = QAudioFormat();
    m_carry.clear();
    m_filter.reset();
    m_analysis.cancel();
    m_spectrumEnabled = false;
    m_blocks.restart();
    if (wasOpen) {
        emit inputPeakChanged(-1, false);
    }
}

bool AudioRecorder::startPlayback(const QAudioDeviceInfo &device, double volume)
{
    if (!m_input) {
        return false;
    }
    if (m_output) {
        return true;
    }
    const QAudioFormat format = AudioFormats::choose(device, m_inputFormat, m_outputConstraint);
    if (!format.isValid()) {
        emit errorOccurred(
            device.isNull()
                ? tr("No audio output is available.")
                : tr("No supported 16-bit PCM output format for %1.").arg(device.deviceName()));
        return false;
    }
    m_outputFormat = format;
    m_outputName = device.deviceName();
    m_output = new QAudioOutput(device, format, this);
    m_output->setBufferSize(AudioFormats::bufferBytes(format, kOutputBufferUs));
    m_outputDevice = m_output->start();
    if (!m_outputDevice || m_output->error() != QAudio::NoError) {
        const int code = static_cast<int>(m_output->error());
        const QString name = m_outputName;
        stopPlayback();
        emit errorOccurred(tr("Could not open audio output %1 (error %2).").arg(name).arg(code));
        return false;
    }
    connect(m_output, &QAudioOutput::stateChanged, this, &AudioRecorder::onOutputStateChanged);
    m_converter.configure(m_inputFormat.sampleRate(), m_inputFormat.channelCount(),
                          format.sampleRate(), format.channelCount());
    m_output->setVolume(std::clamp(volume, 0.0, 1.0));
    m_pushTimer->start();
    return true;
}

void AudioRecorder::onOutputStateChanged()
{
    auto *output = qobject_cast<QAudioOutput *>(sender());
    if (!output || output != m_output || output->state() != QAudio::StoppedState) {
        return;
    }
    const int code = static_cast<int>(output->error());
    const QString name = m_outputName;
    stopPlayback();
    emit errorOccurred(tr("Audio output %1 stopped (error %2).").arg(name).arg(code));
}

void AudioRecorder::stopPlayback()
{
    m_pushTimer->stop();
    releaseOutput();
    m_queue.clear();
    m_converter.reset();
}

void AudioRecorder::releaseOutput()
{
    if (m_output) {
        disconnect(m_output, nullptr, this, nullptr);
        m_output->stop();
        // Deferred and without a parent, as the input above.
        m_output->setParent(nullptr);
        m_output->deleteLater();
    }
    m_output = nullptr;
    m_outputDevice = nullptr;
    m_outputFormat = QAudioFormat();
}

void AudioRecorder::setPlaybackVolume(double volume)
{
    if (m_output) {
        m_output->setVolume(std::clamp(volume, 0.0, 1.0));
    }
}

void AudioRecorder::setFilterPreset(int preset)
{
    m_filterPreset = preset;
    if (m_filter) {
        m_filter->selectPreset(preset, true);
    }
}

bool AudioRecorder::startRecording(const QString &path, int channel)
{
    if (!m_input || m_wav.isOpen()) {
        return false;
    }
    if (channel < 0 || channel >= m_inputFormat.channelCount()) {
        emit errorOccurred(tr("Selected WAV input channel unavailable."));
        return false;
    }
    m_wavChannel = channel;
    m_reportedSeconds = 0;
    if (!m_wav.open(path, m_inputFormat.sampleRate())) {
        emit errorOccurred(tr("Could not create WAV file %1.").arg(path));
        return false;
    }
    emit recordingDurationChanged(0);
    return true;
}

void AudioRecorder::stopRecording()
{
    finishRecording();
}

void AudioRecorder::finishRecording()
{
    if (!m_wav.isOpen()) {
        return;
    }
    const QString name = m_wav.fileName();
    if (!m_wav.finalize()) {
        emit errorOccurred(tr("Could not finalize WAV file %1.").arg(name));
    }
}

void AudioRecorder::setSpectrumEnabled(bool enabled)
{
    m_spectrumEnabled = enabled;
    if (!m_analysis.isPending()) {
        m_blocks.restart();
    }
}

bool AudioRecorder::startAnalysis(int request, int durationMs, double thresholdDbfs)
{
    if (!m_input) {
        return false;
    }
    m_analysis.start(request,
                     SignalAnalysis::plannedWindows(m_inputFormat.sampleRate(), durationMs),
                     thresholdDbfs);
    m_blocks.restart();
    return true;
}

void AudioRecorder::cancelAnalysis()
{
    m_analysis.cancel();
    if (!m_spectrumEnabled) {
        m_blocks.restart();
    }
}

AudioRecorderState AudioRecorder::queryState(bool inputNeededElsewhere)
{
    AudioRecorderState state;
    state.listening = m_output != nullptr;
    state.spectrumOn = m_spectrumEnabled;
    state.recording = m_wav.isOpen();
    if (!inputNeededElsewhere && m_input && !state.listening && !state.spectrumOn &&
        !state.recording) {
        stopAll();
    }
    state.inputRunning = m_input != nullptr;
    state.inputFormat = m_inputFormat;
    state.outputFormat = m_outputFormat;
    return state;
}

void AudioRecorder::readInput()
{
    if (!m_inputDevice) {
        return;
    }
    QByteArray data = m_inputDevice->readAll();
    if (!m_carry.isEmpty()) {
        data.prepend(m_carry);
    }
    const int frameBytes = m_inputFormat.bytesPerFrame();
    const int whole = data.size() - data.size() % frameBytes;
    m_carry = data.mid(whole);
    if (whole == 0) {
        return;
    }
    data.truncate(whole);
    processBlock(reinterpret_cast<qint16 *>(data.data()), whole / frameBytes);
}

void AudioRecorder::processBlock(qint16 *samples, int frameCount)
{
    const int sampleCount = frameCount * m_inputFormat.channelCount();
    int magnitude = 0;
    bool clipped = false;
    for (int i = 0; i < sampleCount; ++i) {
        const int s = samples[i];
        magnitude = std::max(magnitude, std::abs(s));
        clipped = clipped || s == -32768 || s == 32767;
    }
    emit inputPeakChanged(magnitude, clipped);

    for (AudioBlockConsumer *consumer : m_consumers) {
        if (consumer && m_input) {
            consumer->processBlock(samples, frameCount, m_inputFormat);
        }
    }
    if (m_output) {
        queuePlayback(samples, frameCount);
    }
    if (m_wav.isOpen()) {
        writeWav(samples, frameCount);
    }
    if (m_spectrumEnabled || m_analysis.isPending()) {
        m_blocks.feed(samples, frameCount,
                      [this](const std::array<std::vector<double>, 2> &amplitudes, int channels) {
                          processSpectrumBlock(amplitudes, channels);
                      });
    }
}

void AudioRecorder::queuePlayback(const qint16 *samples, int frameCount)
{
    const qint16 *source = samples;
    if (m_filter) {
        const int bytes = frameCount * m_inputFormat.bytesPerFrame();
        m_playbackBlock.resize(bytes);
        memcpy(m_playbackBlock.data(), samples, static_cast<size_t>(bytes));
        m_filter->process(reinterpret_cast<qint16 *>(m_playbackBlock.data()), frameCount);
        source = reinterpret_cast<const qint16 *>(m_playbackBlock.constData());
    }
    m_converter.append(source, frameCount, m_queue);
    const int cap = m_outputFormat.bytesForDuration(kQueueCapUs);
    if (m_queue.size() > cap) {
        // Oldest audio goes first; the cap is a whole number of frames.
        m_queue.remove(0, m_queue.size() - cap);
    }
    pushPlayback();
}

void AudioRecorder::pushPlayback()
{
    if (!m_output || !m_outputDevice || m_queue.isEmpty()) {
        return;
    }
    const int frameBytes = m_outputFormat.bytesPerFrame();
    int n = std::min(m_output->bytesFree(), m_queue.size());
    n -= n % frameBytes;
    if (n <= 0) {
        return;
    }
    const qint64 written = m_outputDevice->write(m_queue.constData(), n);
    if (written < 0) {
        stopPlayback();
        emit errorOccurred(tr("Could not send audio to the selected output."));
        return;
    }
    m_queue.remove(0, static_cast<int>(written));
}

void AudioRecorder::writeWav(const qint16 *samples, int frameCount)
{
    const WavFileWriter::WriteResult result =
        m_wav.write(samples, frameCount, m_inputFormat.channelCount(), m_wavChannel);
    if (result != WavFileWriter::WriteResult::Written) {
        emit errorOccurred(tr("WAV recording stopped because the file could not grow."));
        if (result == WavFileWriter::WriteResult::StoppedUnfinalized) {
            emit errorOccurred(tr("Could not finalize WAV file %1.").arg(m_wav.fileName()));
        }
        return;
    }
    const qint64 seconds = m_wav.seconds();
    if (seconds != m_reportedSeconds) {
        m_reportedSeconds = seconds;
        emit recordingDurationChanged(seconds);
    }
}

void AudioRecorder::processSpectrumBlock(const std::array<std::vector<double>, 2> &amplitudes,
                                         int channels)
{
    const bool measuring = m_analysis.isPending();
    if (measuring) {
        std::fill(m_power.begin(), m_power.end(), 0.0);
    }
    if (m_spectrumEnabled) {
        std::fill(m_magnitudes.begin(), m_magnitudes.end(), -100.0);
    }
    double *magnitudes = m_magnitudes.data();
    for (int c = 0; c < channels; ++c) {
        const std::vector<double> &a = amplitudes[static_cast<size_t>(c)];
        for (int j = 0; j < BlockSpectrum::bins; ++j) {
            const double amplitude = a[static_cast<size_t>(j)];
            if (measuring) {
                m_power[static_cast<size_t>(j)] =
                    std::max(m_power[static_cast<size_t>(j)], amplitude * amplitude);
            }
            if (m_spectrumEnabled) {
                const double db = std::min(0.0, 20.0 * std::log10(std::max(amplitude, 1e-5)));
                magnitudes[j] = std::max(magnitudes[j], db);
            }
        }
    }
    if (m_spectrumEnabled) {
        emit spectrumReady(m_frequencies, m_magnitudes);
    }
    if (measuring && m_analysis.analyseWindow(m_power.data(), m_inputFormat.sampleRate())) {
        emit signalAnalysisReady(m_analysis.request(), m_analysis.result());
    }
}
