#include "rfcapture.h"

#include "welchpsd.h"

#include <QAudioFormat>

#include <algorithm>
#include <stdexcept>

RfCapture::RfCapture(Ready ready)
    : m_ready(std::move(ready))
{}

bool RfCapture::request(int id, int captureMs, int binHz, int channel, const QAudioFormat &format)
{
    cancel();
    if (!format.isValid() || captureMs < minCaptureMs || captureMs > maxCaptureMs || binHz <= 0 ||
        channel < 0 || channel >= format.channelCount()) {
        return false;
    }
    m_request = id;
    m_binHz = binHz;
    m_channel = channel;
    m_wanted = static_cast<std::size_t>(qint64(captureMs) * format.sampleRate() / 1000);
    m_samples.reserve(m_wanted);
    m_armed = true;
    return true;
}

void RfCapture::cancel()
{
    m_armed = false;
    m_samples.clear();
}

void RfCapture::processBlock(const qint16 *samples, int frameCount, const QAudioFormat &format)
{
    if (!m_armed)
        return;
    const int channels = format.channelCount();
    const int frames = static_cast<int>(
        std::min<std::size_t>(std::size_t(frameCount), m_wanted - m_samples.size()));
    for (int frame = 0; frame < frames; ++frame)
        m_samples.push_back(samples[frame * channels + m_channel] / 32768.0);
    if (m_samples.size() == m_wanted)
        complete(format.sampleRate());
}

void RfCapture::complete(int sampleRate)
{
    const int request = m_request;
    WelchPsd psd;
    bool ok = true;
    try {
        psd = welchPsd(m_samples.data(), m_samples.size(), sampleRate, m_binHz);
    } catch (const std::exception &) {
        ok = false;
    }
    // Cleared before the report, so a new request made in response starts afresh.
    cancel();
    if (ok) {
        m_ready(request, psd.spacing, QVector<double>(psd.power.begin(), psd.power.end()),
                psd.windows, psd.clipped);
    } else {
        m_ready(request, 0.0, QVector<double>(), 0, 0.0);
    }
}
