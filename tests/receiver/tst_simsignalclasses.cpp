// The simulated receiver's stations of each signal class between 88 and 108 MHz, through the real
// audio path: each is tuned the way a band scan tunes (after the frequency the scan met before
// it), its audio runs through the private PulseAudio server into the audio engine, and the
// engine's measurement with a scan's defaults (1500 ms, -55 dBFS) classifies it. Each row also
// checks, on the measured windows and on the captured samples, what makes the class: the level
// in the voice band, the spectral flatness, the purity of a tone, the place of a short emission.

#include "audiothreadcall.h"
#include "blockspectrum.h"
#include "pulsetestserver.h"
#include "simaudiopath.h"

#include <QSignalSpy>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

constexpr int wfm = 0;
constexpr int rate = 48000;
constexpr int analysisMs = 1500;
constexpr double minimumAudio = -55.0;
constexpr int sMeterThreshold = 125;
// A scan waits this long after tuning before it reads the S-meter.
constexpr int settleMs = 140;
// Below this a window holds nothing (a carrier that quiets the receiver).
constexpr double quietDbfs = -75.0;

enum class Check { Quiet, Noise, Emission, Tone, Modulated };

// Share of the voice band's power (300-3200 Hz) within two bins of its strongest bin, for every
// 4096-sample block whose voice band reaches minimumAudio.
QVector<double> tonePurities(const std::vector<qint16> &samples)
{
    BlockSpectrum spectrum;
    std::vector<double> amplitudes(BlockSpectrum::bins);
    const int lo = 26, hi = 274; // 300 and 3200 Hz at 48 kHz
    QVector<double> purities;
    for (size_t start = 0; start + BlockSpectrum::size <= samples.size();
         start += BlockSpectrum::size) {
        spectrum.amplitudes(samples.data() + start, amplitudes.data());
        double band = 0.0;
        int peak = lo;
        for (int i = lo; i < hi; ++i) {
            const double p = amplitudes[size_t(i)] * amplitudes[size_t(i)];
            band += p;
            if (p > amplitudes[size_t(peak)] * amplitudes[size_t(peak)])
                peak = i;
        }
        if (10.0 * std::log10(std::max(band / 3.0, 1e-12)) < minimumAudio)
            continue;
        double around = 0.0;
        for (int i = std::max(lo, peak - 2); i <= std::min(hi - 1, peak + 2); ++i)
            around += amplitudes[size_t(i)] * amplitudes[size_t(i)];
        purities << around / band;
    }
    return purities;
}

QString windowsText(const AudioAnalysisResult &r)
{
    QStringList parts;
    for (int i = 0; i < r.window_dbfs.size(); ++i)
        parts << QStringLiteral("%1/%2")
                     .arg(r.window_dbfs[i], 0, 'f', 1)
                     .arg(r.window_flatness[i], 0, 'f', 2);
    return parts.join(QLatin1Char(' '));
}

} // namespace

class TestSimSignalClasses : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void stationsClassifyThroughTheAudioPath_data();
    void stationsClassifyThroughTheAudioPath();

private:
    std::unique_ptr<SimAudioPath> m_path;
    int m_request = 0;
};

void TestSimSignalClasses::initTestCase()
{
    qRegisterMetaType<AudioAnalysisResult>();
    REQUIRE_PULSE_SERVER();
    m_path = std::make_unique<SimAudioPath>();
    QString error;
    QVERIFY2(m_path->start(&error), qPrintable(error));
    QVERIFY(m_path->driver().setMode(wfm));
}

void TestSimSignalClasses::cleanupTestCase()
{
    m_path.reset();
}

void TestSimSignalClasses::stationsClassifyThroughTheAudioPath_data()
{
    QTest::addColumn<qint64>("before"); // the frequency tuned before, as long as a measurement
    QTest::addColumn<qint64>("frequency");
    QTest::addColumn<int>("check");
    QTest::addColumn<QString>("key");
    QTest::newRow("quiet carrier 91.0")
        << qint64(90900000) << qint64(91000000) << int(Check::Quiet) << "quiet";
    QTest::newRow("keyed emission 91.1")
        << qint64(91000000) << qint64(91100000) << int(Check::Emission) << "possible";
    QTest::newRow("test tone 92.5")
        << qint64(92400000) << qint64(92500000) << int(Check::Tone) << "tone";
    QTest::newRow("wideband noise 96.3")
        << qint64(96200000) << qint64(96300000) << int(Check::Noise) << "noise";
    QTest::newRow("FM broadcast 89.1")
        << qint64(89000000) << qint64(89100000) << int(Check::Modulated) << "modulated";
}

void TestSimSignalClasses::stationsClassifyThroughTheAudioPath()
{
    QFETCH(qint64, before);
    QFETCH(qint64, frequency);
    QFETCH(int, check);
    QFETCH(QString, key);
    Corvindriver &driver = m_path->driver();
    AudioRecorder *recorder = m_path->recorder();

    QVERIFY(driver.tune(before));
    QTest::qWait(analysisMs + 200);
    QVERIFY(driver.tune(frequency));
    QTest::qWait(settleMs);
    int level = 0;
    QVERIFY(driver.readSignalLevel(&level));
    QVERIFY2(level >= sMeterThreshold, qPrintable(QString::number(level)));

    QSignalSpy ready(recorder, &AudioRecorder::signalAnalysisReady);
    const int request = ++m_request;
    const qint64 first = m_path->capturedFrames();
    QVERIFY(callOnAudioThread(recorder, [recorder, request] {
        return recorder->startAnalysis(request, analysisMs, minimumAudio);
    }));
    QVERIFY(ready.wait(analysisMs + 3000));
    QCOMPARE(ready.last().at(0).toInt(), request);
    const auto result = ready.last().at(1).value<AudioAnalysisResult>();
    const QString windows = windowsText(result);
    QVERIFY2(SignalClassification::key(result.classification) == key,
             qPrintable(SignalClassification::key(result.classification) + ": " + windows));
    QCOMPARE(result.fft_windows, 18);

    std::vector<qint16> samples = m_path->samplesFrom(first);
    samples.resize(std::min<size_t>(samples.size(), 18 * BlockSpectrum::size));
    QVector<double> purities = tonePurities(samples);
    const QVector<double> &dbfs = result.window_dbfs;
    const QVector<double> &flatness = result.window_flatness;
    switch (Check(check)) {
    case Check::Quiet:
        // A carrier without modulation: nothing in the voice band, in any window.
        for (double l : dbfs)
            QVERIFY2(l <= quietDbfs, qPrintable(windows));
        break;
    case Check::Noise:
        // Flat and loud in every window, about -30 dBFS.
        QVERIFY2(std::fabs(result.dbfs_rms + 30.0) <= 3.0, qPrintable(windows));
        for (int i = 0; i < dbfs.size(); ++i)
            QVERIFY2(dbfs[i] >= minimumAudio && flatness[i] >= 0.45, qPrintable(windows));
        break;
    case Check::Tone:
        // One pure tone all through: every window loud, far from flat, its power around one bin.
        for (int i = 0; i < dbfs.size(); ++i)
            QVERIFY2(dbfs[i] >= minimumAudio && flatness[i] < 0.1, qPrintable(windows));
        QCOMPARE(purities.size(), 18);
        for (double p : purities)
            QVERIFY2(p >= 0.95, qPrintable(QString::number(p)));
        break;
    case Check::Modulated: {
        // Speech: structured (formants, harmonics) but spread over many bins, rising and falling
        // with its syllables.
        QVector<double> active;
        for (int i = 0; i < dbfs.size(); ++i) {
            if (dbfs[i] >= minimumAudio && flatness[i] < 0.36)
                active << dbfs[i];
        }
        QVERIFY2(active.size() >= 4, qPrintable(windows));
        const auto range = std::minmax_element(active.begin(), active.end());
        QVERIFY2(*range.second - *range.first >= 10.0, qPrintable(windows));
        QVERIFY(!purities.isEmpty());
        std::sort(purities.begin(), purities.end());
        QVERIFY2(purities[purities.size() / 2] < 0.75, qPrintable(QString::number(purities[0])));
        break;
    }
    case Check::Emission: {
        // One short keyed tone inside the measurement: two or three consecutive loud, structured
        // windows, neither the first nor the last, and nothing in the others.
        QVector<int> loud;
        for (int i = 0; i < dbfs.size(); ++i) {
            if (dbfs[i] >= minimumAudio)
                loud << i;
            else
                QVERIFY2(dbfs[i] <= quietDbfs, qPrintable(windows));
        }
        QVERIFY2(loud.size() >= 2 && loud.size() <= 3, qPrintable(windows));
        QCOMPARE(loud.last() - loud.first(), loud.size() - 1);
        QVERIFY2(loud.first() > 0 && loud.last() < dbfs.size() - 1, qPrintable(windows));
        for (int i : loud)
            QVERIFY2(flatness[i] < 0.36, qPrintable(windows));
        // The burst in the samples: about 150 ms from its first loud sample to its last.
        const auto isLoud = [](qint16 s) { return std::abs(int(s)) >= 3000; };
        const auto on = std::find_if(samples.begin(), samples.end(), isLoud);
        const auto off = std::find_if(samples.rbegin(), samples.rend(), isLoud);
        QVERIFY(on != samples.end());
        const double seconds = double(std::distance(on, off.base())) / rate;
        QVERIFY2(std::fabs(seconds - 0.15) <= 0.01, qPrintable(QString::number(seconds)));
        break;
    }
    }
}

QTEST_GUILESS_MAIN(TestSimSignalClasses)
#include "tst_simsignalclasses.moc"
