#pragma once

#include <QtGlobal>

#include <array>
#include <complex>
#include <vector>

// Amplitude spectrum of one 4096-sample block of 16-bit audio: periodic Hann window and the
// real FFT of NativeDsp, into preallocated buffers. Bin j lies at j x rate / 4096 Hz; a
// full-scale sine centred on a bin gives amplitude 1 there.
// Not thread-safe (one work array); owned by the audio thread.
class BlockSpectrum
{
public:
    static constexpr int size = 4096;
    static constexpr int bins = size / 2 + 1;

    BlockSpectrum();

    // Computes the amplitudes a_j (j = 0 ... 2048) of samples[0 ... 4095] into amplitudes.
    void amplitudes(const qint16 *samples, double *amplitudes);

private:
    std::vector<double> m_window;
    std::vector<double> m_input;
    std::vector<std::complex<double>> m_bins;
};

// Accumulates interleaved frames into per-channel 4096-sample blocks (no overlap) and hands each
// completed block, as per-channel amplitude spectra, to the owner's handler.
class SpectrumBlocks
{
public:
    static constexpr int maxChannels = 2;

    // Sets the channel count (1 or 2) and restarts the fill counter.
    void setChannels(int channels);
    void restart() { m_fill = 0; }
    int fill() const { return m_fill; }
    int channels() const { return m_channels; }

    // Feeds frameCount frames; handler(const std::array<std::vector<double>, 2> &amplitudes,
    // int channels) is called for every completed block.
    template <typename Handler> void feed(const qint16 *samples, int frameCount, Handler &&handler)
    {
        for (int frame = 0; frame < frameCount; ++frame) {
            for (int c = 0; c < m_channels; ++c) {
                m_blocks[static_cast<size_t>(c)][static_cast<size_t>(m_fill)] =
                    samples[frame * m_channels + c];
            }
            if (++m_fill == BlockSpectrum::size) {
                m_fill = 0;
                for (int c = 0; c < m_channels; ++c) {
                    m_spectrum.amplitudes(m_blocks[static_cast<size_t>(c)].data(),
                                          m_amplitudes[static_cast<size_t>(c)].data());
                }
                handler(m_amplitudes, m_channels);
            }
        }
    }

private:
    BlockSpectrum m_spectrum;
    int m_channels = 1;
    int m_fill = 0;
    std::array<std::array<qint16, BlockSpectrum::size>, maxChannels> m_blocks{};
    std::array<std::vector<double>, maxChannels> m_amplitudes{
        std::vector<double>(BlockSpectrum::bins), std::vector<double>(BlockSpectrum::bins)};
};
