#pragma once

// The pre-trigger ring and the capture of one event: the ring always holds the last
// pre-trigger seconds of samples; a capture copies it (oldest first) and then appends the
// post-trigger samples until it is complete. Both buffers are sized by allocate(), so taking a
// sample and starting a capture allocate nothing. One thread at a time.

#include <QByteArray>
#include <QtGlobal>

#include <vector>

class EventCapture
{
public:
    // Sizes the ring (zero-filled) and the capture buffer. Throws std::bad_alloc (after freeing
    // everything) when memory is short.
    void allocate(std::size_t preSamples, std::size_t postSamples);
    // Frees both buffers; an unfinished capture is discarded.
    void release();

    // Takes one sample into the ring and, while capturing, into the capture. Returns true when
    // this sample completes the capture (takeEvent() then hands it out).
    bool push(qint16 sample)
    {
        m_ring[m_writeIndex] = sample;
        if (++m_writeIndex == m_ring.size())
            m_writeIndex = 0;
        if (m_filled < m_ring.size())
            ++m_filled;
        if (!m_capturing)
            return false;
        m_capture.push_back(sample);
        if (--m_remaining > 0)
            return false;
        m_capturing = false;
        return true;
    }

    bool ringFull() const { return !m_ring.empty() && m_filled == m_ring.size(); }
    std::size_t filled() const { return m_filled; }
    bool isCapturing() const { return m_capturing; }
    std::size_t remaining() const { return m_capturing ? m_remaining : 0; }

    // Starts a capture: needs a full ring, no capture running and a post part above 0.
    bool start();
    // The finished capture as signed 16-bit little-endian bytes, with its pre-trigger count.
    QByteArray takeEvent(std::size_t *preSamples) const;

private:
    std::vector<qint16> m_ring;
    std::size_t m_writeIndex = 0;
    std::size_t m_filled = 0;
    std::vector<qint16> m_capture;
    std::size_t m_postSamples = 0;
    std::size_t m_remaining = 0;
    bool m_capturing = false;
};
