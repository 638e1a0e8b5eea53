#include "eventcapture.h"

#include <QtEndian>

#include <algorithm>

void EventCapture::allocate(std::size_t preSamples, std::size_t postSamples)
{
    release();
    try {
        m_ring.assign(preSamples, 0);
        m_capture.reserve(preSamples + postSamples);
    } catch (...) {
        release();
        throw;
    }
    m_postSamples = postSamples;
}

void EventCapture::release()
{
    m_ring = {};
    m_capture = {};
    m_writeIndex = 0;
    m_filled = 0;
    m_postSamples = 0;
    m_remaining = 0;
    m_capturing = false;
}

bool EventCapture::start()
{
    if (m_capturing || !ringFull() || m_postSamples == 0)
        return false;
    // Oldest sample first: the full ring's oldest sample is the next one to be overwritten.
    const auto split = m_ring.begin() + static_cast<std::ptrdiff_t>(m_writeIndex);
    m_capture.assign(split, m_ring.end());
    m_capture.insert(m_capture.end(), m_ring.begin(), split);
    m_remaining = m_postSamples;
    m_capturing = true;
    return true;
}

QByteArray EventCapture::takeEvent(std::size_t *preSamples) const
{
    *preSamples = m_ring.size();
    QByteArray pcm(static_cast<int>(m_capture.size() * sizeof(qint16)), Qt::Uninitialized);
    auto *bytes = reinterpret_cast<uchar *>(pcm.data());
    for (std::size_t i = 0; i < m_capture.size(); ++i)
        qToLittleEndian<qint16>(m_capture[i], bytes + 2 * i);
    return pcm;
}
