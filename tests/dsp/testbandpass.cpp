// Zero-phase Butterworth band-pass: gain and phase at the centre and the edges of the band,
// rejection at DC and Nyquist, lengths at the padding limits and every refusal.

#include "nativedsp.h"

#include <QtTest>

#include <cmath>
#include <limits>
#include <stdexcept>

namespace {

constexpr double pi = 3.14159265358979323846;

std::vector<double> sine(double frequency, double rate, std::size_t n, double phase = 0.3)
{
    std::vector<double> x(n);
    for (std::size_t i = 0; i < n; ++i)
        x[i] = std::sin(2.0 * pi * frequency * static_cast<double>(i) / rate + phase);
    return x;
}

// Largest |y - reference| over the middle half, clear of the start-up at both ends.
double middleDeviation(const std::vector<double> &y, const std::vector<double> &reference)
{
    double worst = 0;
    for (std::size_t i = y.size() / 4; i < 3 * y.size() / 4; ++i)
        worst = std::max(worst, std::abs(y[i] - reference[i]));
    return worst;
}

double middlePeak(const std::vector<double> &y)
{
    return middleDeviation(y, std::vector<double>(y.size(), 0.0));
}

} // namespace

class TestBandpass : public QObject
{
    Q_OBJECT

private slots:
    void bands_data()
    {
        QTest::addColumn<double>("rate");
        QTest::addColumn<double>("low");
        QTest::addColumn<double>("high");
        QTest::newRow("voice at 48 kHz") << 48000.0 << 300.0 << 3000.0;
        QTest::newRow("narrow at 8 kHz") << 8000.0 << 1000.0 << 1200.0;
        QTest::newRow("wide at 44.1 kHz") << 44100.0 << 50.0 << 15000.0;
        QTest::newRow("near Nyquist") << 11025.0 << 4000.0 << 5400.0;
    }

    // At the geometric centre on the warped axis the response is 1 with no phase shift.
    void centreFrequencyPassesUnchanged_data() { bands_data(); }
    void centreFrequencyPassesUnchanged()
    {
        QFETCH(double, rate);
        QFETCH(double, low);
        QFETCH(double, high);
        const double w1 = 2 * pi * high / rate, w2 = 2 * pi * low / rate;
        const double centre = 2 * std::atan(std::sqrt(std::tan(w1 / 2) * std::tan(w2 / 2)));
        const auto x = sine(centre * rate / (2 * pi), rate, static_cast<std::size_t>(rate));
        const auto y = NativeDsp::zeroPhaseBandpass(x, rate, low, high);
        QCOMPARE(y.size(), x.size());
        QVERIFY2(middleDeviation(y, x) < 1e-6, qPrintable(QString::number(middleDeviation(y, x))));
    }

    // Each edge is the -3 dB point of the order-5 design; forward and backward make it -6 dB,
    // still in phase with the input.
    void edgesPassAtHalfAmplitude_data() { bands_data(); }
    void edgesPassAtHalfAmplitude()
    {
        QFETCH(double, rate);
        QFETCH(double, low);
        QFETCH(double, high);
        for (double edge : {low, high}) {
            const auto x = sine(edge, rate, static_cast<std::size_t>(2 * rate));
            std::vector<double> half(x.size());
            std::transform(x.begin(), x.end(), half.begin(), [](double v) { return 0.5 * v; });
            const auto y = NativeDsp::zeroPhaseBandpass(x, rate, low, high);
            QVERIFY2(middleDeviation(y, half) < 1e-4,
                     qPrintable(QString("%1 Hz: %2").arg(edge).arg(middleDeviation(y, half))));
        }
    }

    void dcAndNyquistAreRejected()
    {
        const std::size_t n = 48000;
        std::vector<double> dc(n, 0.8);
        std::vector<double> nyquist(n);
        for (std::size_t i = 0; i < n; ++i)
            nyquist[i] = i % 2 ? -0.8 : 0.8;
        QVERIFY(middlePeak(NativeDsp::zeroPhaseBandpass(dc, 48000, 300, 3000)) < 1e-6);
        QVERIFY(middlePeak(NativeDsp::zeroPhaseBandpass(nyquist, 48000, 300, 3000)) < 1e-6);
        // Far outside the band the tenth-order slopes leave almost nothing.
        const auto far = NativeDsp::zeroPhaseBandpass(sine(15000, 48000, n), 48000, 300, 3000);
        QVERIFY(middlePeak(far) < 1e-6);
    }

    void shortSignalsKeepTheirLength()
    {
        for (std::size_t n : {2u, 3u, 33u, 34u, 35u, 100u}) {
            const auto x = sine(1000, 8000, n);
            const auto y = NativeDsp::zeroPhaseBandpass(x, 8000, 500, 1500);
            QCOMPARE(y.size(), n);
            for (double v : y)
                QVERIFY(std::isfinite(v) && std::abs(v) < 10);
        }
        // Two samples of silence: only the anti-denormal offset passes, far below any signal.
        const auto quiet = NativeDsp::zeroPhaseBandpass({0.0, 0.0}, 8000, 500, 1500);
        QVERIFY(std::abs(quiet[0]) < 1e-7 && std::abs(quiet[1]) < 1e-7);
    }

    void refusals_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<double>("rate");
        QTest::addColumn<double>("low");
        QTest::addColumn<double>("high");
        QTest::addColumn<QString>("message");
        const double nan = std::numeric_limits<double>::quiet_NaN();
        const double inf = std::numeric_limits<double>::infinity();
        const QString count = "Invalid sample count or sample rate";
        const QString limits = "Butterworth band limits must be within Nyquist";
        QTest::newRow("no samples") << 0 << 8000.0 << 100.0 << 200.0 << count;
        QTest::newRow("one sample") << 1 << 8000.0 << 100.0 << 200.0 << count;
        QTest::newRow("rate 0") << 10 << 0.0 << 100.0 << 200.0 << count;
        QTest::newRow("rate negative") << 10 << -8000.0 << 100.0 << 200.0 << count;
        QTest::newRow("rate NaN") << 10 << nan << 100.0 << 200.0 << count;
        QTest::newRow("rate infinite") << 10 << inf << 100.0 << 200.0 << count;
        QTest::newRow("count before limits") << 1 << 8000.0 << 0.0 << 5000.0 << count;
        QTest::newRow("low 0") << 10 << 8000.0 << 0.0 << 200.0 << limits;
        QTest::newRow("low negative") << 10 << 8000.0 << -5.0 << 200.0 << limits;
        QTest::newRow("low equals high") << 10 << 8000.0 << 200.0 << 200.0 << limits;
        QTest::newRow("low above high") << 10 << 8000.0 << 300.0 << 200.0 << limits;
        QTest::newRow("high at Nyquist") << 10 << 8000.0 << 100.0 << 4000.0 << limits;
        QTest::newRow("high above Nyquist") << 10 << 8000.0 << 100.0 << 5000.0 << limits;
        QTest::newRow("low NaN") << 10 << 8000.0 << nan << 200.0 << limits;
        QTest::newRow("high infinite") << 10 << 8000.0 << 100.0 << inf << limits;
    }
    void refusals()
    {
        QFETCH(int, count);
        QFETCH(double, rate);
        QFETCH(double, low);
        QFETCH(double, high);
        QFETCH(QString, message);
        const std::vector<double> x(static_cast<std::size_t>(count), 0.5);
        try {
            NativeDsp::zeroPhaseBandpass(x, rate, low, high);
            QFAIL("accepted");
        } catch (const std::invalid_argument &error) {
            QCOMPARE(QString(error.what()), message);
        }
    }
};

QTEST_GUILESS_MAIN(TestBandpass)
#include "testbandpass.moc"
