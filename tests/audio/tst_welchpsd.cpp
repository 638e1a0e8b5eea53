// Welch's PSD of the synthetic spectrum: the level of a bin-centred tone, the number of windows,
// white noise, the removed mean, the clipping fraction and the refusals.

#include "welchpsd.h"

#include <QtTest>

#include <cmath>
#include <random>
#include <stdexcept>
#include <vector>

namespace {

std::vector<double> tone(double amplitude, double hertz, int rate, int count, double offset = 0.0)
{
    std::vector<double> samples(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        samples[static_cast<size_t>(i)] =
            offset + amplitude * std::sin(2.0 * M_PI * hertz * i / rate);
    return samples;
}

} // namespace

class TestWelchPsd : public QObject
{
    Q_OBJECT

private slots:
    void binCentredTone_data();
    void binCentredTone();
    void whiteNoiseDensity();
    void meanIsRemoved();
    void clippedFraction();
    void refusals_data();
    void refusals();
};

void TestWelchPsd::binCentredTone_data()
{
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("bin");
    QTest::addColumn<int>("count");
    QTest::addColumn<double>("hertz");
    QTest::addColumn<int>("windows");
    // 1 s at 48 kHz and 5 Hz bins: N = 9600, windows every 4800 samples, 9 of them.
    QTest::newRow("defaults") << 48000 << 5 << 48000 << 1500.0 << 9;
    QTest::newRow("1 Hz, 5 s") << 48000 << 1 << 240000 << 1000.0 << 9;
    QTest::newRow("50 Hz, 5 s") << 48000 << 50 << 240000 << 2000.0 << 499;
    QTest::newRow("44.1 kHz, odd N") << 44100 << 11 << 44100 << 300.0 * 44100 / 4009 << 21;
}

void TestWelchPsd::binCentredTone()
{
    QFETCH(int, rate);
    QFETCH(int, bin);
    QFETCH(int, count);
    QFETCH(double, hertz);
    QFETCH(int, windows);
    const double amplitude = 0.5;
    const std::vector<double> samples = tone(amplitude, hertz, rate, count);
    const WelchPsd psd = welchPsd(samples.data(), samples.size(), rate, bin);
    const int n = rate / bin;
    QCOMPARE(psd.spacing, double(rate) / n);
    QCOMPARE(int(psd.power.size()), n / 2 + 1);
    QCOMPARE(psd.windows, windows);
    const int k = static_cast<int>(std::lround(hertz / psd.spacing));
    // A^2 / (3 x spacing): the tone's power A^2/2 spread over the Hann window's 1.5 bins.
    const double expected = amplitude * amplitude / (3.0 * psd.spacing);
    QVERIFY2(std::fabs(psd.power[static_cast<size_t>(k)] / expected - 1.0) < 1e-6,
             qPrintable(QString::number(psd.power[static_cast<size_t>(k)] / expected)));
    // The neighbours hold a quarter of it each (the Hann kernel), the rest almost nothing.
    QVERIFY(std::fabs(psd.power[static_cast<size_t>(k + 1)] / expected - 0.25) < 1e-6);
    QVERIFY(psd.power[static_cast<size_t>(k + 3)] < 1e-12 * expected);
    QCOMPARE(psd.clipped, 0.0);
}

void TestWelchPsd::whiteNoiseDensity()
{
    std::mt19937 random(7);
    std::normal_distribution<double> gauss(0.0, 0.1);
    std::vector<double> samples(480000);
    for (double &s : samples)
        s = gauss(random);
    const WelchPsd psd = welchPsd(samples.data(), samples.size(), 48000, 10);
    // One-sided density of white noise: variance / (rate / 2).
    double sum = 0.0;
    for (size_t k = 1; k + 1 < psd.power.size(); ++k)
        sum += psd.power[k];
    const double mean = sum / double(psd.power.size() - 2);
    QVERIFY2(std::fabs(mean / (0.01 / 24000.0) - 1.0) < 0.02, qPrintable(QString::number(mean)));
}

void TestWelchPsd::meanIsRemoved()
{
    const std::vector<double> samples = tone(0.1, 1000.0, 48000, 48000, 0.4);
    const WelchPsd psd = welchPsd(samples.data(), samples.size(), 48000, 5);
    QVERIFY(psd.power[0] < 1e-20);
    QVERIFY(psd.power[200] > 1e-4);
}

void TestWelchPsd::clippedFraction()
{
    std::vector<double> samples(1000, 0.0);
    samples[1] = 32767.0 / 32768.0;
    samples[2] = -1.0;
    samples[3] = 32766.0 / 32768.0; // just below full scale
    samples[4] = -32767.0 / 32768.0;
    const WelchPsd psd = welchPsd(samples.data(), samples.size(), 1000, 10);
    QCOMPARE(psd.clipped, 0.002);
}

void TestWelchPsd::refusals_data()
{
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("bin");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("message");
    QTest::newRow("no rate") << 0 << 5 << 1000 << "Invalid sample rate or bin";
    QTest::newRow("no bin") << 48000 << 0 << 1000 << "Invalid sample rate or bin";
    QTest::newRow("window of 3") << 48000 << 16000 << 1000 << "Insufficient samples";
    QTest::newRow("one window short") << 48000 << 5 << 9599 << "Insufficient samples";
}

void TestWelchPsd::refusals()
{
    QFETCH(int, rate);
    QFETCH(int, bin);
    QFETCH(int, count);
    QFETCH(QString, message);
    const std::vector<double> samples(static_cast<size_t>(count), 0.0);
    try {
        welchPsd(samples.data(), samples.size(), rate, bin);
        QFAIL("no error");
    } catch (const std::invalid_argument &error) {
        QCOMPARE(QString::fromLatin1(error.what()), message);
    }
}

QTEST_GUILESS_MAIN(TestWelchPsd)
#include "tst_welchpsd.moc"
