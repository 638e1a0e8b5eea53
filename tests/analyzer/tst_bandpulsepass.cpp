#include "analysismath.h"
#include "bandpulsepass.h"
#include "nativedsp.h"
#include "testsignals.h"

#include <QtTest>

#include <random>

using namespace NativeWav;

class TestBandPulsePass : public QObject
{
    Q_OBJECT

private slots:
    void eventFrequencyRefinesBetweenBins();
    void settingsAt48kHz();
    void medianAndPercentileMatchPrimitives();
};

void TestBandPulsePass::eventFrequencyRefinesBetweenBins()
{
    std::vector<double> y(400); // 50 ms at 8 kHz
    for (std::size_t i = 0; i < y.size(); ++i)
        y[i] = std::sin(2 * M_PI * 1234.5 * static_cast<double>(i) / 8000.0);
    QVERIFY(std::abs(eventFrequency(y.data(), y.size(), 8000, 1100, 1400) - 1234.5) < 1.0);
    QCOMPARE(eventFrequency(y.data(), 4, 8000, 1100, 1400), 0.0);
    QCOMPARE(eventFrequency(y.data(), y.size(), 8000, 1400, 1400), 0.0);
}

void TestBandPulsePass::settingsAt48kHz()
{
    const BandPassSettings s = makeBandPassSettings(48000, 1000, 12);
    QCOMPARE(s.blockFrames, std::uint64_t(960000));
    QCOMPARE(s.padding, std::uint64_t(16800));
    QCOMPARE(s.decimation, std::size_t(48));
    QCOMPARE(s.smoothing, std::size_t(192));
    QCOMPARE(s.closing, std::size_t(9));
    const BandPassSettings low = makeBandPassSettings(800, 1000, 12);
    QCOMPARE(low.decimation, std::size_t(1));
    QCOMPARE(low.smoothing, std::size_t(3));
    QCOMPARE(low.closing, std::size_t(7));
}

void TestBandPulsePass::medianAndPercentileMatchPrimitives()
{
    std::mt19937 generator(3);
    std::uniform_int_distribution<int> small(0, 5); // many ties
    for (std::size_t n = 1; n < 60; ++n) {
        for (int round = 0; round < 20; ++round) {
            std::vector<double> values(n);
            for (double &v : values)
                v = round % 2 ? small(generator) : std::ldexp(generator(), -20);
            for (double p : {0.5, 0.9, 0.97, 1.0}) {
                std::vector<double> work = values;
                const auto [median, upper] = medianAndUpperPercentile(work, p);
                // The same order statistics and interpolation: equal to the last bit.
                QVERIFY(median == NativeDsp::median(values));
                QVERIFY(upper == NativeDsp::percentile(values, p));
            }
        }
    }
}

QTEST_GUILESS_MAIN(TestBandPulsePass)
#include "tst_bandpulsepass.moc"
