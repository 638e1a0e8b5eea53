// Butterworth band-pass: the shared design of any order, and the zero-phase filter built on it
// (gain and phase at the centre and the edges of the band, rejection at DC and Nyquist, lengths
// at the padding limits and every refusal).

#include "butterworthdesign.h"
#include "nativedsp.h"

#include <QtTest>

#include <cmath>
#include <complex>
#include <limits>
#include <stdexcept>

Q_DECLARE_METATYPE(std::vector<double>)
Q_DECLARE_METATYPE(NativeDsp::BandpassZeros)

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

// |H| of cascaded sections at the normalised frequency f (cycles per sample).
double gainAt(const std::vector<NativeDsp::BiquadSection> &sections, double f)
{
    const std::complex<double> z1 = std::polar(1.0, -2.0 * pi * f);
    std::complex<double> h = 1.0;
    for (const NativeDsp::BiquadSection &s : sections)
        h *= (s.b0 + s.b1 * z1 + s.b2 * z1 * z1) / (1.0 + s.a1 * z1 + s.a2 * z1 * z1);
    return std::abs(h);
}

} // namespace

class TestBandpass : public QObject
{
    Q_OBJECT

private slots:
    // Every order and both ways of dealing out the zeros give a Butterworth band-pass: unit
    // gain at the warped centre, -3 dB at both edges, zeros at DC and Nyquist, and the same
    // response whichever section holds which zero; a higher order falls off faster.
    void designOfAnyOrder_data()
    {
        QTest::addColumn<int>("order");
        QTest::addColumn<NativeDsp::BandpassZeros>("zeros");
        for (int order = 1; order <= 8; ++order) {
            QTest::addRow("order %d paired", order) << order << NativeDsp::BandpassZeros::Paired;
            QTest::addRow("order %d split", order) << order << NativeDsp::BandpassZeros::Split;
        }
    }
    void designOfAnyOrder()
    {
        QFETCH(int, order);
        QFETCH(NativeDsp::BandpassZeros, zeros);
        constexpr double low = 300.0 / 8000, high = 1200.0 / 8000;
        const auto design = [](int n, NativeDsp::BandpassZeros z) {
            return NativeDsp::designButterworthBandpass(n, (low + high) / 2, high - low, z);
        };
        const auto sections = design(order, zeros);
        QCOMPARE(int(sections.size()), order);
        const double w1 = 2 * pi * high, w2 = 2 * pi * low;
        const double centre = std::atan(std::sqrt(std::tan(w1 / 2) * std::tan(w2 / 2))) / pi;
        QVERIFY(std::abs(gainAt(sections, centre) - 1.0) < 1e-12);
        QVERIFY(std::abs(gainAt(sections, low) - std::sqrt(0.5)) < 1e-9);
        QVERIFY(std::abs(gainAt(sections, high) - std::sqrt(0.5)) < 1e-9);
        QVERIFY(gainAt(sections, 0.0) < 1e-12);
        QVERIFY(gainAt(sections, 0.5) < 1e-12);
        const auto other = design(order, zeros == NativeDsp::BandpassZeros::Paired
                                             ? NativeDsp::BandpassZeros::Split
                                             : NativeDsp::BandpassZeros::Paired);
        for (double f = 0.01; f < 0.5; f += 0.037)
            QVERIFY(std::abs(gainAt(sections, f) - gainAt(other, f)) < 1e-12);
        const auto higher = design(order + 1, zeros);
        QVERIFY(gainAt(higher, 0.3) < gainAt(sections, 0.3));
    }

    // The analyzer's order-5 sections, to the last digits, as designed before the design was
    // shared with the playback filter.
    void analyzerSectionsKeepTheirCoefficients_data()
    {
        QTest::addColumn<double>("rate");
        QTest::addColumn<double>("low");
        QTest::addColumn<double>("high");
        QTest::addColumn<std::vector<double>>("expected");
        QTest::newRow("300-1200 Hz at 8 kHz") << 8000.0 << 300.0 << 1200.0
                                              << std::vector<double>{0.0021116734035171191,
                                                                     0.0042233468070342383,
                                                                     0.0021116734035171191,
                                                                     -1.0384040628497364,
                                                                     0.73037739967057824,
                                                                     1,
                                                                     -2,
                                                                     1,
                                                                     -1.8566244416799249,
                                                                     0.91145784775239258,
                                                                     1,
                                                                     2,
                                                                     1,
                                                                     -0.9976477167620309,
                                                                     0.42741152322206749,
                                                                     1,
                                                                     -2,
                                                                     1,
                                                                     -1.6584203782410412,
                                                                     0.727914479483046,
                                                                     1,
                                                                     0,
                                                                     -1,
                                                                     -1.294813016615644,
                                                                     0.4610063144273181};
        QTest::newRow("880-1120 Hz at 48 kHz") << 48000.0 << 880.0 << 1120.0
                                               << std::vector<double>{9.0928661148198864e-10,
                                                                      1.8185732229639773e-09,
                                                                      9.0928661148198864e-10,
                                                                      -1.9681536996151767,
                                                                      0.98924836208651368,
                                                                      1,
                                                                      -2,
                                                                      1,
                                                                      -1.9780817388009266,
                                                                      0.99143323367697944,
                                                                      1,
                                                                      2,
                                                                      1,
                                                                      -1.9539637921637942,
                                                                      0.97314976789092056,
                                                                      1,
                                                                      -2,
                                                                      1,
                                                                      -1.9622044614376561,
                                                                      0.97665937139743508,
                                                                      1,
                                                                      0,
                                                                      -1,
                                                                      -1.9524626429462979,
                                                                      0.96906741719379319};
    }
    void analyzerSectionsKeepTheirCoefficients()
    {
        QFETCH(double, rate);
        QFETCH(double, low);
        QFETCH(double, high);
        QFETCH(std::vector<double>, expected);
        const auto sections = NativeDsp::designButterworthBandpass(
            5, (low + high) / 2 / rate, (high - low) / rate, NativeDsp::BandpassZeros::Paired);
        QCOMPARE(sections.size() * 5, expected.size());
        for (std::size_t i = 0; i < sections.size(); ++i) {
            const NativeDsp::BiquadSection &s = sections[i];
            const double got[] = {s.b0, s.b1, s.b2, s.a1, s.a2};
            for (std::size_t c = 0; c < 5; ++c) {
                const double want = expected[5 * i + c];
                QVERIFY2(std::abs(got[c] - want) <= 1e-14 * std::max(1.0, std::abs(want)),
                         qPrintable(QString("section %1 coefficient %2: %3 vs %4")
                                        .arg(i)
                                        .arg(c)
                                        .arg(got[c], 0, 'g', 17)
                                        .arg(want, 0, 'g', 17)));
            }
        }
    }

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

    // Whole outputs, ends included, against an independent design of the same filter (an
    // order-5 Butterworth band-pass from a standard signal-processing library, run forward and
    // backward from rest over the same odd-reflection padding and anti-denormal offset).
    void matchesReferenceIncludingTheEnds_data()
    {
        QTest::addColumn<std::vector<double>>("expected");
        QTest::newRow("2 samples")
            << std::vector<double>{0.0038783862806701739, 0.0011931916359998944};
        QTest::newRow("5 samples") << std::vector<double>{
            0.088086572545575656, 0.039843753387337116, -0.0045393742696006358,
            -0.023843689952353579, -0.021011212010334884};
        QTest::newRow("50 samples") << std::vector<double>{
            0.0023593565288864138, 0.11957264505566467,   0.28428334766990204,
            0.49590398576077299,   0.69471218098814191,   0.79421839056597432,
            0.7320352711284418,    0.50413716256512398,   0.16363026911673959,
            -0.20872954720407799,  -0.53913425328630316,  -0.78026066998128341,
            -0.91093581682201408,  -0.9251813920128279,   -0.82342252045696518,
            -0.61231920435292175,  -0.31059445591138479,  0.046561116795142299,
            0.40999980009528336,   0.72589523208861417,   0.94731271130208183,
            1.0431336807304308,    1.0019248933579852,    0.83141743340775687,
            0.55569742763371688,   0.21152360552812322,   -0.15612731270218327,
            -0.49955601537737016,  -0.77453333163773275,  -0.94610292155822207,
            -0.99279578514499311,  -0.90887178126253221,  -0.7051835696608465,
            -0.40913581841709018,  -0.062988117002096389, 0.28111757545205429,
            0.57022252977628851,   0.76195291836999068,   0.83368114610941757,
            0.78459953920326275,   0.6296872595787586,    0.39035016788285942,
            0.089637411455266658,  -0.243148965512761,    -0.56220856764361649,
            -0.80115351566413917,  -0.88644199699964155,  -0.76823651760378797,
            -0.45307056385647881,  -0.015616483411480697};
    }
    void matchesReferenceIncludingTheEnds()
    {
        QFETCH(std::vector<double>, expected);
        std::vector<double> x(expected.size());
        for (std::size_t i = 0; i < x.size(); ++i) {
            const double t = static_cast<double>(i);
            x[i] = std::sin(0.37 * t) + 0.5 * std::cos(1.9 * t) + 0.01 * t;
        }
        const auto y = NativeDsp::zeroPhaseBandpass(x, 8000, 300, 1200);
        QCOMPARE(y.size(), expected.size());
        for (std::size_t i = 0; i < y.size(); ++i)
            QVERIFY2(std::abs(y[i] - expected[i]) < 1e-9,
                     qPrintable(QString("%1: %2 vs %3")
                                    .arg(i)
                                    .arg(y[i], 0, 'g', 17)
                                    .arg(expected[i], 0, 'g', 17)));
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
#include "tst_bandpass.moc"
