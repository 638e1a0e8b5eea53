#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <array>

// Turns captured 16-bit frames into the output's format: channel mapping (stereo to mono as the
// truncated mean (L + R) / 2, mono to stereo by duplication) and linear interpolation between
// sample rates with an integer phase accumulator. Fixed state; audio thread only.
class PlaybackConverter
{
public:
    static constexpr int maxChannels = 2;

    // Rates in Hz (> 0), channel counts 1 or 2. Also resets the interpolation state.
    void configure(int inRate, int inChannels, int outRate, int outChannels);
    // Forgets the previous frame and the phase; the next frame starts a new stream.
    void reset();

    // Appends frameCount converted frames of interleaved input to queue.
    void append(const qint16 *samples, int frameCount, QByteArray &queue);

    bool isPassThrough() const { return m_inRate == m_outRate && m_inChannels == m_outChannels; }

private:
    int m_inRate = 0;
    int m_inChannels = 1;
    int m_outRate = 0;
    int m_outChannels = 1;
    qint64 m_phase = 0;
    bool m_primed = false;
    std::array<qint32, maxChannels> m_previous{};
};
