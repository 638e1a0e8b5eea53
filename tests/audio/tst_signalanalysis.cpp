#include "blockspectrum.h"
#include "signalanalysis.h"

#include <QRandomGenerator>
#include <QtTest>

#include <cmath>
#include <functional>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kRate = 48000;

// Signal of one window: sample n (0 ... 4095) of window w, full scale = 1.
using WindowSignal = std::function<double(int window, int n)>;

AudioAnalysisResult measure(const WindowSignal &signal, int windows, double threshold = -55.0)
{
    BlockSpectrum spectrum;
    SignalAnalysis analysis;
    analysis.start(7, windows, threshold);
    std::vector<qint16> block(BlockSpectrum::size);
    std::vector<double> a(BlockSpectrum::bins);
    std::vector<double> p(BlockSpectrum::bins);
    for (int w = 0; w < windows; ++w) {
        for (int n = 0; n < BlockSpectrum::size; ++n) {
            block[static_cast<size_t>(n)] =
                static_cast<qint16>(std::lround(std::clamp(signal(w, n), -1.0, 1.0) * 32767.0));
        }
        spectrum.amplitudes(block.data(), a.data());
        for (size_t j = 0; j < a.size(); ++j) {
            p[j] = a[j] * a[j];
        }
        const bool last = analysis.analyseWindow(p.data(), kRate);
        if (last != (w == windows - 1)) {
            qFatal("analysis finished at the wrong window");
        }
    }
    return analysis.result();
}

double tone(double hz, double amplitude, int window, int n)
{
    const double t = double(window * BlockSpectrum::size + n) / kRate;
    return amplitude * std::sin(2.0 * kPi * hz * t);
}

WindowSignal noise(double rms, quint32 seed)
{
    auto rng = std::make_shared<QRandomGenerator>(seed);
    return [rng, rms](int, int) {
        // Sum of 12 uniforms: close to Gaussian, unit variance.
        double s = -6.0;
        for (int i = 0; i < 12; ++i) {
            s += rng->generateDouble();
        }
        return s * rms;
    };
}

} // namespace

class TestSignalAnalysis : public QObject
{
    Q_OBJECT

private slots:
    void plannedWindows_data()
    {
        QTest::addColumn<int>("rate");
        QTest::addColumn<int>("duration");
        QTest::addColumn<int>("windows");
        QTest::newRow("48k 1500") << 48000 << 1500 << 18;
        QTest::newRow("44.1k 1500") << 44100 << 1500 << 16;
        QTest::newRow("48k 500") << 48000 << 500 << 6;
        QTest::newRow("at least 3") << 8000 << 500 << 3;
    }
    void plannedWindows()
    {
        QFETCH(int, rate);
        QFETCH(int, duration);
        QFETCH(int, windows);
        QCOMPARE(SignalAnalysis::plannedWindows(rate, duration), windows);
    }

    void steadyToneIsTonalWithFullQuality()
    {
        const AudioAnalysisResult r =
            measure([](int w, int n) { return tone(1000.0, 0.1, w, n); }, 18);
        QCOMPARE(r.classification, int(SignalClass::Tone));
        QCOMPARE(r.quality, 100);
        QCOMPARE(r.fft_windows, 18);
        QCOMPARE(r.active_windows, 18);
        QCOMPARE(r.structured_windows, 18);
        QCOMPARE(r.window_dbfs.size(), 18);
        QCOMPARE(r.window_flatness.size(), 18);
        for (int w = 0; w < 18; ++w) {
            QVERIFY(std::abs(r.window_dbfs[w] - -23.01) < 0.3);
            QVERIFY(r.window_flatness[w] < 0.1);
        }
        QVERIFY(std::abs(r.dbfs_rms - -23.01) < 0.3);
    }

    void whiteNoiseIsNoise()
    {
        const AudioAnalysisResult r = measure(noise(0.1, 42), 18);
        QCOMPARE(r.classification, int(SignalClass::Noise));
        QCOMPARE(r.quality, 0);
        QCOMPARE(r.active_windows, 18);
        QCOMPARE(r.structured_windows, 0);
        for (double f : r.window_flatness) {
            QVERIFY(f > 0.36 && f <= 1.0);
        }
    }

    void speechLikeChordIsModulated()
    {
        // Three formant-like tones of changing weight: structured but not one-peak.
        const AudioAnalysisResult r = measure(
            [](int w, int n) {
                return tone(500.0, 0.05 + 0.01 * (w % 3), w, n) + tone(1150.0, 0.05, w, n) +
                       tone(2450.0, 0.04, w, n);
            },
            18);
        QCOMPARE(r.classification, int(SignalClass::Modulated));
        QCOMPARE(r.quality, 100);
    }

    void quietKeepsLoudestWindowAsPeak()
    {
        const AudioAnalysisResult r =
            measure([](int w, int n) { return tone(800.0, w == 4 ? 0.0005 : 0.0001, w, n); }, 6);
        QCOMPARE(r.classification, int(SignalClass::Quiet));
        QCOMPARE(r.quality, 0);
        QCOMPARE(r.active_windows, 0);
        double loudest = -200.0;
        for (double l : r.window_dbfs) {
            loudest = std::max(loudest, l);
        }
        QCOMPARE(r.dbfs_peak, loudest);
        QVERIFY(std::abs(r.dbfs_peak - (20.0 * std::log10(0.0005) - 3.01)) < 0.5);
    }

    void exactSilence()
    {
        const AudioAnalysisResult r = measure([](int, int) { return 0.0; }, 3);
        QCOMPARE(r.classification, int(SignalClass::Quiet));
        QCOMPARE(r.dbfs_peak, -120.0);
        QCOMPARE(r.dbfs_rms, -120.0);
        QCOMPARE(r.window_flatness[0], 1.0);
    }

    void shortEmission_data()
    {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("length");
        QTest::addColumn<bool>("noisy");
        QTest::addColumn<int>("expectedClass");
        QTest::addColumn<int>("quality");
        QTest::newRow("one window stays quiet") << 5 << 1 << false << int(SignalClass::Quiet) << 0;
        QTest::newRow("two windows") << 5 << 2 << false << int(SignalClass::Possible) << 25;
        QTest::newRow("three in noise") << 8 << 3 << true << int(SignalClass::Possible) << 30;
        QTest::newRow("eight in noise capped")
            << 2 << 8 << true << int(SignalClass::Possible) << 50;
        QTest::newRow("seven in silence is a tone")
            << 2 << 7 << false << int(SignalClass::Tone) << 82;
        QTest::newRow("ten in noise is a tone") << 0 << 10 << true << int(SignalClass::Tone) << 69;
    }
    void shortEmission()
    {
        QFETCH(int, first);
        QFETCH(int, length);
        QFETCH(bool, noisy);
        QFETCH(int, expectedClass);
        QFETCH(int, quality);
        // Noise loud enough to make every window active but unstructured.
        auto background = noise(noisy ? 0.05 : 0.0, 9);
        const AudioAnalysisResult r = measure(
            [=](int w, int n) {
                const double bg = background(w, n);
                return w >= first && w < first + length ? tone(1200.0, 0.3, w, n) + bg * 0.01 : bg;
            },
            18);
        QCOMPARE(r.classification, expectedClass);
        QCOMPARE(r.quality, quality);
    }

    void minimumActiveWindowsForSix()
    {
        // 6 windows: two active structured windows are enough (M = 2) for a tone.
        const AudioAnalysisResult r = measure(
            [](int w, int n) { return w == 0 || w == 3 ? tone(1000.0, 0.1, w, n) : 0.0; }, 6);
        QCOMPARE(r.classification, int(SignalClass::Tone));
        QCOMPARE(r.quality, 80); // 30 x 2/6 + 70
    }

    void cancelAndRestart()
    {
        SignalAnalysis a;
        a.start(1, 3, -55.0);
        QVERIFY(a.isPending());
        a.cancel();
        QVERIFY(!a.isPending());
        std::vector<double> p(BlockSpectrum::bins, 0.0);
        QVERIFY(!a.analyseWindow(p.data(), kRate));
        a.start(2, 3, -55.0);
        QVERIFY(!a.analyseWindow(p.data(), kRate));
        a.start(3, 3, -55.0); // restarts the count
        QVERIFY(!a.analyseWindow(p.data(), kRate));
        QVERIFY(!a.analyseWindow(p.data(), kRate));
        QVERIFY(a.analyseWindow(p.data(), kRate));
        QCOMPARE(a.request(), 3);
        QCOMPARE(a.result().fft_windows, 3);
    }

    void keysLabelsAndCombinedQuality()
    {
        QCOMPARE(SignalClassification::key(3), QStringLiteral("tone"));
        QVERIFY(SignalClassification::key(5).isEmpty());
        QVERIFY(SignalClassification::key(-1).isEmpty());
        QCOMPARE(SignalClassification::label("possible"),
                 QStringLiteral("Possible short emission"));
        QVERIFY(SignalClassification::label("loud").isEmpty());
        QCOMPARE(SignalClassification::combinedQuality("tone", 100, 255), 100);
        QCOMPARE(SignalClassification::combinedQuality("modulated", 50, 0), 40);
        QCOMPARE(SignalClassification::combinedQuality("noise", 90, 255), 0);
        QCOMPARE(SignalClassification::combinedQuality("possible", 25, 128), 30);
    }
};

QTEST_APPLESS_MAIN(TestSignalAnalysis)
#include "tst_signalanalysis.moc"
