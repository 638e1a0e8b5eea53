#include "playbackconverter.h"

#include <algorithm>

void PlaybackConverter::configure(int inRate, int inChannels, int outRate, int outChannels)
{
    m_inRate = std::max(1, inRate);
    m_inChannels = std::clamp(inChannels, 1, maxChannels);
    m_outRate = std::max(1, outRate);
    m_outChannels = std::clamp(outChannels, 1, maxChannels);
    reset();
}

void PlaybackConverter::reset()
{
    m_phase = 0;
    m_primed = false;
    m_previous = {};
}

void PlaybackConverter::append(const qint16 *samples, int frameCount, QByteArray &queue)
{
    if (isPassThrough()) {
        queue.append(reinterpret_cast<const char *>(samples),
                     frameCount * m_inChannels * static_cast<int>(sizeof(qint16)));
        return;
    }
    // Upper bound of output frames for this block, so the queue grows once per block.
    const qint64 bound = qint64(frameCount) * m_outRate / m_inRate + 2;
    queue.reserve(queue.size() + static_cast<int>(bound * m_outChannels * 2));

    std::array<qint32, maxChannels> current{};
    for (int frame = 0; frame < frameCount; ++frame) {
        const qint16 *in = samples + frame * m_inChannels;
        if (m_inChannels == 2 && m_outChannels == 1) {
            current[0] = (qint32(in[0]) + qint32(in[1])) / 2;
        } else if (m_inChannels == 1 && m_outChannels == 2) {
            current[0] = current[1] = in[0];
        } else {
            for (int c = 0; c < m_outChannels; ++c) {
                current[static_cast<size_t>(c)] = in[c];
            }
        }
        if (!m_primed) {
            m_previous = current;
            m_phase = m_outRate;
            m_primed = true;
        }
        while (m_phase <= m_outRate) {
            for (int c = 0; c < m_outChannels; ++c) {
                const qint64 prev = m_previous[static_cast<size_t>(c)];
                const qint64 cur = current[static_cast<size_t>(c)];
                const qint16 out = static_cast<qint16>(prev + m_phase * (cur - prev) / m_outRate);
                queue.append(reinterpret_cast<const char *>(&out), sizeof(out));
            }
            m_phase += m_inRate;
        }
        m_previous = current;
        m_phase -= m_outRate;
    }
}
