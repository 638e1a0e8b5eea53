#include "replayrunner.h"

#include "replaycsv.h"
#include "wavreader.h"

#include <QFile>
#include <QIODevice>

#include <cmath>
#include <stdexcept>

ReplayRunner::ReplayRunner() = default;
ReplayRunner::~ReplayRunner() = default;

void ReplayRunner::open(const QString &path)
{
    auto reader = std::make_unique<NativeWav::WavReader>();
    reader->open(QFile::encodeName(path).toStdString());
    if (reader->isFloat() || reader->bitsPerSample() != 16)
        throw std::runtime_error("Replay requires PCM16 WAV");
    m_reader = std::move(reader);
    reset();
}

int ReplayRunner::sampleRate() const
{
    return m_reader ? m_reader->sampleRate() : 0;
}

int ReplayRunner::channels() const
{
    return m_reader ? m_reader->channels() : 0;
}

quint64 ReplayRunner::frameCount() const
{
    return m_reader ? m_reader->frameCount() : 0;
}

void ReplayRunner::reset()
{
    m_bank.reset();
    m_policy.reset(DecisionConfig(), 0);
    m_csv = nullptr;
    m_started = false;
    m_finished = false;
    m_position = 0;
    m_seconds = 0;
    m_captureEnd = 0;
    m_capturesStarted = 0;
    m_capturesCompleted = 0;
}

void ReplayRunner::start(const AnomalySettings &settings, int channel, QIODevice *csv)
{
    reset();
    if (!m_reader)
        throw std::runtime_error("Cannot open WAV file");
    if (channel < 0 || channel >= channels())
        throw std::invalid_argument("Invalid WAV channel");
    m_bank.configure(sampleRate(), settings.lowHz, settings.highHz);
    m_settings = settings;
    m_settings.decision.automatic = true;
    m_policy.reset(m_settings.decision, m_settings.postSeconds);
    m_channel = channel;
    m_second.resize(static_cast<std::size_t>(sampleRate()));
    if (csv) {
        const QByteArray header = ReplayCsv::header();
        if (csv->write(header) != header.size())
            throw std::runtime_error("CSV write error");
    }
    m_csv = csv;
    m_started = true;
}

quint64 ReplayRunner::tailSamples() const
{
    return frameCount() - m_position;
}

void ReplayRunner::readSecond()
{
    const auto rate = static_cast<std::uint64_t>(sampleRate());
    const std::vector<double> samples = m_reader->readChannel(m_position, rate, m_channel);
    if (samples.size() != rate)
        throw std::runtime_error("Incomplete WAV block");
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const double scaled = std::nearbyint(samples[i] * 32768.0);
        m_second[i] = static_cast<qint16>(std::fmin(std::fmax(scaled, -32768.0), 32767.0));
    }
    m_position += rate;
}

bool ReplayRunner::step(Step *step)
{
    const auto rate = static_cast<quint64>(sampleRate());
    if (!m_started || m_finished || frameCount() - m_position < rate) {
        m_finished = m_started;
        return false;
    }
    readSecond();
    int updates = 0;
    for (qint16 sample : m_second)
        updates += m_bank.pushSample(sample, &step->update) ? 1 : 0;
    if (updates != 1)
        throw std::runtime_error("Incomplete WAV block");
    const FeatureUpdate &update = step->update;
    m_seconds = update.seconds;

    step->completed = false;
    if (m_captureEnd > 0 && update.seconds >= m_captureEnd) {
        ++m_capturesCompleted;
        m_captureEnd = 0;
        step->completed = true;
    }
    step->decision = TriggerPolicy::Step();
    step->decision.result.baselines.fill(std::nan(""));
    step->decision.result.scales.fill(std::nan(""));
    step->decision.result.learned = m_policy.engine().learned();
    step->windowStart = 0;
    step->windowEnd = 0;
    if (update.seconds >= m_settings.preSeconds) {
        step->decision = m_policy.step(update, m_captureEnd > 0);
        if (step->decision.capture == TriggerPolicy::Capture::Start) {
            ++m_capturesStarted;
            m_captureEnd = update.seconds + m_settings.postSeconds;
            m_policy.captureStarted(update.seconds);
            step->windowStart = update.seconds - m_settings.preSeconds;
            step->windowEnd = m_captureEnd;
        }
    }

    if (m_csv) {
        ReplayCsv::Row row;
        row.update = &update;
        row.step = &step->decision;
        row.completed = step->completed;
        row.channel = m_channel;
        row.sampleRate = sampleRate();
        const QByteArray line = ReplayCsv::row(row, m_settings);
        if (m_csv->write(line) != line.size())
            throw std::runtime_error("CSV write error");
    }
    return true;
}

QString ReplayRunner::finishedLine() const
{
    return QStringLiteral("Finished | started %1 | complete %2 | skipped %3 | unfinished %4 | "
                          "tail %5 samples (no full DSP update)")
        .arg(m_capturesStarted)
        .arg(m_capturesCompleted)
        .arg(skipped())
        .arg(captureRunning() ? 1 : 0)
        .arg(tailSamples());
}
