#include "blockspectrum.h"

#include <QtTest>

#include <cmath>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;

std::vector<qint16> sineBlock(double bin, double amplitude)
{
    std::vector<qint16> s(BlockSpectrum::size);
    for (int n = 0; n < BlockSpectrum::size; ++n) {
        s[static_cast<size_t>(n)] = static_cast<qint16>(
            std::lround(amplitude * std::sin(2.0 * kPi * bin * n / BlockSpectrum::size)));
    }
    return s;
}

} // namespace

class TestBlockSpectrum : public QObject
{
    Q_OBJECT

private slots:
    void sineCentredOnBin_data()
    {
        QTest::addColumn<int>("bin");
        QTest::addColumn<double>("amplitude");
        QTest::newRow("full scale bin 85") << 85 << 32767.0;
        QTest::newRow("-20 dBFS bin 1") << 1 << 3276.8;
        QTest::newRow("-6 dBFS bin 2000") << 2000 << 16384.0;
    }
    void sineCentredOnBin()
    {
        QFETCH(int, bin);
        QFETCH(double, amplitude);
        BlockSpectrum spectrum;
        std::vector<double> a(BlockSpectrum::bins + 1, -7.0); // sentinel past the end
        spectrum.amplitudes(sineBlock(bin, amplitude).data(), a.data());
        QVERIFY(std::abs(a[static_cast<size_t>(bin)] - amplitude / 32768.0) < 2e-4);
        // Hann: the neighbours carry half the amplitude, everything further away nearly nothing.
        QVERIFY(std::abs(a[static_cast<size_t>(bin + 1)] - amplitude / 65536.0) < 2e-4);
        QVERIFY(a[static_cast<size_t>(bin + 5)] < 1e-4);
        QCOMPARE(a[BlockSpectrum::bins], -7.0);
    }

    void silenceAndDc()
    {
        BlockSpectrum spectrum;
        std::vector<double> a(BlockSpectrum::bins);
        const std::vector<qint16> zero(BlockSpectrum::size, 0);
        spectrum.amplitudes(zero.data(), a.data());
        for (double v : a) {
            QCOMPARE(v, 0.0);
        }
        const std::vector<qint16> dc(BlockSpectrum::size, 16384);
        spectrum.amplitudes(dc.data(), a.data());
        QVERIFY(std::abs(a[0] - 0.5) < 1e-9); // DC bin scaled by 2/4096: mean x window sum
        QVERIFY(a[3] < 1e-9);
    }

    void blocksCompleteEvery4096FramesPerChannel()
    {
        SpectrumBlocks blocks;
        blocks.setChannels(2);
        std::vector<qint16> left = sineBlock(100, 8000.0);
        std::vector<qint16> frames(2 * 6000);
        for (int n = 0; n < 6000; ++n) {
            frames[static_cast<size_t>(2 * n)] = left[static_cast<size_t>(n % 4096)];
            frames[static_cast<size_t>(2 * n + 1)] = 0;
        }
        int completed = 0;
        double leftPeak = 0.0;
        double rightPeak = 1.0;
        auto handler = [&](const std::array<std::vector<double>, 2> &a, int channels) {
            ++completed;
            QCOMPARE(channels, 2);
            leftPeak = a[0][100];
            rightPeak = a[1][100];
        };
        blocks.feed(frames.data(), 3000, handler);
        QCOMPARE(completed, 0);
        blocks.feed(frames.data() + 6000, 3000, handler);
        QCOMPARE(completed, 1);
        QCOMPARE(blocks.fill(), 6000 - 4096);
        QVERIFY(std::abs(leftPeak - 8000.0 / 32768.0) < 2e-4);
        QCOMPARE(rightPeak, 0.0);
    }
};

QTEST_APPLESS_MAIN(TestBlockSpectrum)
#include "tst_blockspectrum.moc"
