#include "fourierpass.h"
#include "testsignals.h"
#include "wavanalyzer.h"

#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <stdexcept>

using namespace NativeWav;

namespace {

AnalysisRequest requestFor(const QString &path, double low = 80, double high = 6000,
                           int channel = 0, double contrast = 12)
{
    AnalysisRequest request;
    request.wavPath = QFile::encodeName(path).toStdString();
    request.channel = channel;
    request.lowHz = low;
    request.highHz = high;
    request.contrastDb = contrast;
    return request;
}

QString errorOf(const AnalysisRequest &request)
{
    std::atomic<bool> cancel{false};
    try {
        analyzeWav(request, cancel);
    } catch (const std::exception &e) {
        return QString::fromUtf8(e.what());
    }
    return {};
}

// Noise at -60 dBFS with 40 ms bursts of a 1 kHz tone at the given times.
std::vector<double> burstSignal(int fs, double seconds, const std::vector<double> &times,
                                double frequency = 1000.0)
{
    std::vector<double> x = TestSignals::noise(static_cast<std::size_t>(seconds * fs), 0.001);
    for (double t : times)
        TestSignals::addBurst(x, fs, t, 0.04, frequency, 0.3);
    return x;
}

} // namespace

class TestWavAnalyzer : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString wav(const QString &name, int fs, int channels, const std::vector<double> &samples,
                bool asFloat = false)
    {
        const QString path = m_dir.filePath(name);
        if (!TestSignals::writeWav(path, fs, channels, samples, asFloat))
            qFatal("cannot write test WAV");
        return path;
    }

private slots:
    void rejectsInvalidRequests_data();
    void rejectsInvalidRequests();
    void choosesLoudestChannelAndMeasuresLevels();
    void countsClippedSamples();
    void analysesFileShorterThanOneSegment();
    void layoutAt48kHz();
    void narrowBandAtNyquistFindsNoPulses();
    void pulseOnBlockSeamIsReportedOnce();
    void fourPulsesFormTrainThreeDoNot();
    void sameTrainInTwoBandsIsReportedOnce();
    void trainHiddenByAnotherBandsClicks_data();
    void trainHiddenByAnotherBandsClicks();
    void reportsProgressInOrder();
    void cancelsDuringFourierPass();
};

void TestWavAnalyzer::rejectsInvalidRequests_data()
{
    QTest::addColumn<double>("low");
    QTest::addColumn<double>("high");
    QTest::addColumn<double>("contrast");
    QTest::addColumn<int>("channel");
    QTest::addColumn<QString>("message");
    const QString range = "Invalid analysis range/contrast";
    const QString forWav = "Invalid frequency range/channel for WAV";
    QTest::newRow("negative low") << -1.0 << 3000.0 << 12.0 << 0 << range;
    QTest::newRow("high equals low") << 500.0 << 500.0 << 12.0 << 0 << range;
    QTest::newRow("NaN high") << 80.0 << qQNaN() << 12.0 << 0 << range;
    QTest::newRow("zero contrast") << 80.0 << 3000.0 << 0.0 << 0 << range;
    QTest::newRow("infinite contrast") << 80.0 << 3000.0 << qInf() << 0 << range;
    QTest::newRow("low at Nyquist") << 4000.0 << 6000.0 << 12.0 << 0 << forWav;
    QTest::newRow("channel too high") << 80.0 << 3000.0 << 12.0 << 3 << forWav;
    QTest::newRow("negative channel") << 80.0 << 3000.0 << 12.0 << -1 << forWav;
    QTest::newRow("two bins only")
        << 1000.0 << 1030.0 << 12.0 << 0 << "Selected frequency range is too narrow";
    QTest::newRow("high above Nyquist is capped") << 80.0 << 20000.0 << 12.0 << 2 << QString();
}

void TestWavAnalyzer::rejectsInvalidRequests()
{
    QFETCH(double, low);
    QFETCH(double, high);
    QFETCH(double, contrast);
    QFETCH(int, channel);
    QFETCH(QString, message);
    const std::vector<double> stereo = TestSignals::noise(2 * 8000, 0.01);
    const QString path = wav("validation.wav", 8000, 2, stereo);
    QCOMPARE(errorOf(requestFor(path, low, high, channel, contrast)), message);
    if (message.isEmpty()) {
        std::atomic<bool> cancel{false};
        const Result result = analyzeWav(requestFor(path, low, high, channel, contrast), cancel);
        QCOMPARE(result.highHz, 4000.0);
        QCOMPARE(result.channelUsed, 2);
    }
}

void TestWavAnalyzer::choosesLoudestChannelAndMeasuresLevels()
{
    const int fs = 8000;
    const std::size_t n = fs;
    const std::vector<double> a = TestSignals::noise(n, 0.01, 1);
    const std::vector<double> b = TestSignals::noise(n, 0.05, 2);
    std::vector<double> quietLoud(2 * n), equal(2 * n), dcSilent(2 * n);
    for (std::size_t i = 0; i < n; ++i) {
        quietLoud[2 * i] = a[i] + 0.3; // the DC offset must not count as level
        quietLoud[2 * i + 1] = b[i];
        equal[2 * i] = equal[2 * i + 1] = a[i];
        dcSilent[2 * i] = 0.5;
        dcSilent[2 * i + 1] = 0.0;
    }
    std::atomic<bool> cancel{false};
    Result r = analyzeWav(requestFor(wav("loud.wav", fs, 2, quietLoud), 80, 3000), cancel);
    QCOMPARE(r.channelUsed, 2);
    QCOMPARE(r.channelStats.size(), std::size_t(2));
    QVERIFY(std::abs(r.channelStats[0].mean - 0.3) < 1e-3);
    QVERIFY(std::abs(r.channelStats[1].rmsDb - 20 * std::log10(0.05)) < 0.5);
    QVERIFY(r.hasCorrelation);
    QVERIFY(std::abs(r.channelCorrelation) < 0.1);

    r = analyzeWav(requestFor(wav("equal.wav", fs, 2, equal), 80, 3000), cancel);
    QCOMPARE(r.channelUsed, 1);
    QVERIFY(r.hasCorrelation);
    QCOMPARE(r.channelCorrelation, 1.0);

    r = analyzeWav(requestFor(wav("dc.wav", fs, 2, dcSilent), 80, 3000), cancel);
    QCOMPARE(r.channelStats[0].rmsDb, -160.0);
    QVERIFY(std::abs(r.channelStats[0].peakDb - 20 * std::log10(0.5)) < 1e-6);
    QCOMPARE(r.channelStats[1].peakDb, -160.0);
    QVERIFY(!r.hasCorrelation);

    r = analyzeWav(requestFor(wav("mono.wav", fs, 1, a), 80, 3000), cancel);
    QCOMPARE(r.channelUsed, 1);
    QVERIFY(!r.hasCorrelation);
}

void TestWavAnalyzer::countsClippedSamples()
{
    std::vector<double> pcm = TestSignals::noise(1000, 0.01);
    pcm[10] = 1.0;  // written as +32767
    pcm[20] = -1.0; // -32768
    pcm[30] = 32766.0 / 32768.0;
    std::atomic<bool> cancel{false};
    Result r = analyzeWav(requestFor(wav("clip16.wav", 8000, 1, pcm), 80, 3000), cancel);
    QCOMPARE(r.channelStats[0].clipPercent, 0.2);
    QVERIFY(!r.isFloat);
    QCOMPARE(r.validBits, 16u);

    std::vector<double> floats = TestSignals::noise(1000, 0.01);
    floats[10] = 0.9999;
    floats[20] = 1.0;
    floats[30] = -1.5;
    r = analyzeWav(requestFor(wav("clipf.wav", 8000, 1, floats, true), 80, 3000), cancel);
    QVERIFY(r.isFloat);
    QCOMPARE(r.channelStats[0].clipPercent, 0.2);
}

void TestWavAnalyzer::analysesFileShorterThanOneSegment()
{
    // 100 frames at 8 kHz (12.5 ms): one segment as long as the file, hop 32, 4 columns.
    std::vector<double> x(100);
    for (std::size_t i = 0; i < x.size(); ++i)
        x[i] = 0.5 * std::sin(2 * M_PI * 1000.0 * static_cast<double>(i) / 8000.0);
    std::atomic<bool> cancel{false};
    const Result r = analyzeWav(requestFor(wav("short.wav", 8000, 1, x), 80, 3000), cancel);
    QCOMPARE(r.timeColumns, 4);
    const std::size_t rows = r.displayFrequencies.size();
    QVERIFY(rows > 0);
    QCOMPARE(r.spectrogramDb.size(), rows * 4);
    float strongest = -1000.0f;
    for (std::size_t row = 0; row < rows; ++row) {
        for (int c = 0; c < 4; ++c) {
            const float v = r.spectrogramDb[row * 4 + static_cast<std::size_t>(c)];
            if (c != 2)
                QCOMPARE(v, -160.0f); // only the column of the segment's centre has values
            else
                strongest = std::max(strongest, v);
        }
    }
    QVERIFY(strongest > -20.0f);
    QCOMPARE(r.levelDb.size(), std::size_t(4));
    QVERIFY(r.trains.empty());
}

void TestWavAnalyzer::layoutAt48kHz()
{
    const StftLayout full = makeStftLayout(48000, 48000ull * 3600, 0, 24000);
    QCOMPARE(full.segmentLength, std::size_t(1152));
    QCOMPARE(full.hop, std::size_t(192));
    QCOMPARE(full.fftLength, std::size_t(2304));
    QCOMPARE(full.firstBin, std::size_t(0));
    QCOMPARE(full.bins, std::size_t(1153));
    QCOMPARE(full.rowStep, std::size_t(3));
    QCOMPARE(full.rows, std::size_t(385));
    QCOMPARE(full.timeColumns, std::size_t(1300));
    QCOMPARE(full.blockFrames, std::uint64_t(960000));

    const StftLayout voice = makeStftLayout(48000, 48000, 80, 6000);
    QCOMPARE(voice.firstBin, std::size_t(4));
    QCOMPARE(voice.bins, std::size_t(285));
    QCOMPARE(voice.rows, std::size_t(285));
    QCOMPARE(voice.timeColumns, std::size_t(250));
    QCOMPARE(voice.binFrequency(0), 4 * 48000.0 / 2304);
}

void TestWavAnalyzer::narrowBandAtNyquistFindsNoPulses()
{
    std::vector<double> x = TestSignals::noise(4 * 8000, 0.001);
    for (double t = 0.5; t < 4; t += 0.5)
        TestSignals::addBurst(x, 8000, t, 0.05, 3970.0, 0.5);
    std::atomic<bool> cancel{false};
    const Result r = analyzeWav(requestFor(wav("nyquist.wav", 8000, 1, x), 3950, 4000), cancel);
    QCOMPARE(r.spectrumFrequencies.size(), std::size_t(3));
    QCOMPARE(r.meanSpectrumDb.size(), std::size_t(3));
    QVERIFY(r.trains.empty());
    QVERIFY(r.events.empty());
}

void TestWavAnalyzer::pulseOnBlockSeamIsReportedOnce()
{
    // A 1 s train over 30 s at 8 kHz: the pulse at 20 s straddles the seam of the first two
    // 20-second blocks and must come out exactly once.
    const int fs = 8000;
    std::vector<double> times;
    for (double t = 0.5; t < 30; t += 0.5)
        times.push_back(t);
    std::atomic<bool> cancel{false};
    const Result r = analyzeWav(
        requestFor(wav("seam.wav", fs, 1, burstSignal(fs, 30, times)), 80, 3000), cancel);
    QCOMPARE(r.trains.size(), std::size_t(1));
    const PulseTrain &train = r.trains.front();
    QVERIFY(std::abs(train.periodSeconds - 0.5) < 0.002);
    int atSeam = 0;
    for (const PulseEvent &e : train.events)
        atSeam += std::abs(e.timeSeconds - 20.0) < 0.1 ? 1 : 0;
    for (const PulseEvent &e : r.events)
        atSeam += std::abs(e.timeSeconds - 20.0) < 0.1 ? 1 : 0;
    QCOMPARE(atSeam, 1);
    QCOMPARE(train.events.size(), times.size());
    for (const PulseEvent &e : train.events) {
        QVERIFY(std::abs(e.frequencyHz - 1000.0) < 5.0);
        QVERIFY(e.snrDb > 20.0);
        QVERIFY(e.widthMs > 5.0 && e.widthMs < 40.0);
    }
    QVERIFY(train.lowHz >= 860 && train.highHz <= 1140);
}

void TestWavAnalyzer::fourPulsesFormTrainThreeDoNot()
{
    const int fs = 8000;
    std::atomic<bool> cancel{false};
    Result r = analyzeWav(
        requestFor(wav("four.wav", fs, 1, burstSignal(fs, 4.5, {0.5, 1.5, 2.5, 3.5})), 80, 3000),
        cancel);
    QCOMPARE(r.trains.size(), std::size_t(1));
    QVERIFY(std::abs(r.trains[0].periodSeconds - 1.0) < 0.001);
    QVERIFY(r.trains[0].jitterMs < 1.0);
    QCOMPARE(r.trains[0].events.size(), std::size_t(4));

    r = analyzeWav(
        requestFor(wav("three.wav", fs, 1, burstSignal(fs, 3.5, {0.5, 1.5, 2.5})), 80, 3000),
        cancel);
    QVERIFY(r.trains.empty());
    QCOMPARE(r.events.size(), std::size_t(3));
}

void TestWavAnalyzer::sameTrainInTwoBandsIsReportedOnce()
{
    // Every burst carries tones at 1000 Hz and 1150 Hz: two candidate bands, one train.
    const int fs = 8000;
    std::vector<double> times;
    for (double t = 0.4; t < 12; t += 0.8)
        times.push_back(t);
    std::vector<double> x = burstSignal(fs, 12, times, 1000.0);
    for (double t : times)
        TestSignals::addBurst(x, fs, t, 0.04, 1150.0, 0.3);
    std::atomic<bool> cancel{false};
    QList<int> bands;
    const Result r = analyzeWav(requestFor(wav("twobands.wav", fs, 1, x), 80, 3000), cancel,
                                [&](int percent, const std::string &text) {
                                    if (text == "Measuring pulse envelopes")
                                        bands << percent;
                                });
    QVERIFY(bands.size() >= 2);
    QCOMPARE(r.trains.size(), std::size_t(1));
    QVERIFY(std::abs(r.trains[0].periodSeconds - 0.8) < 0.002);
    QCOMPARE(r.trains[0].events.size(), times.size());
    QVERIFY(r.events.empty()); // the second band's pulses are not listed as isolated either
}

void TestWavAnalyzer::trainHiddenByAnotherBandsClicks_data()
{
    QTest::addColumn<bool>("keyed");
    QTest::newRow("keyed 2.4 kHz bursts") << true;
    QTest::newRow("Hann-shaped 2.4 kHz bursts") << false;
}

// 90 s of noise at 48 kHz with a keyed 20 ms 1 kHz burst every 0.5 s and a 20 ms 2.4 kHz burst
// every 0.8 s. Keyed 2.4 kHz bursts splash clicks into the 1 kHz band, so too few of its
// intervals lie at 0.5 s for a train; without the pulses that coincide with the 0.8 s train the
// band's 180 bursts do form one. Hann-shaped 2.4 kHz bursts give both trains at once.
void TestWavAnalyzer::trainHiddenByAnotherBandsClicks()
{
    QFETCH(bool, keyed);
    const int fs = 48000;
    const double seconds = 90;
    std::vector<double> x = TestSignals::noise(static_cast<std::size_t>(seconds * fs), 0.01);
    std::vector<double> fast;
    for (double t = 0.26; t < seconds; t += 0.5)
        fast.push_back(t);
    std::vector<double> slow;
    for (double t = 0.11; t < seconds; t += 0.8)
        slow.push_back(t);
    for (double t : fast)
        TestSignals::addBurst(x, fs, t, 0.02, 1000, 0.3, TestSignals::BurstShape::Keyed);
    for (double t : slow)
        TestSignals::addBurst(x, fs, t, 0.02, 2400, 0.3,
                              keyed ? TestSignals::BurstShape::Keyed
                                    : TestSignals::BurstShape::Hann);
    std::atomic<bool> cancel{false};
    const Result r = analyzeWav(requestFor(wav("hidden.wav", fs, 1, x)), cancel);

    QCOMPARE(r.trains.size(), std::size_t(2));
    const struct
    {
        double period;
        double toneHz;
        const std::vector<double> &times;
    } expected[] = {{0.5, 1000, fast}, {0.8, 2400, slow}};
    for (std::size_t i = 0; i < 2; ++i) {
        const PulseTrain &train = r.trains[i];
        QVERIFY2(std::abs(train.periodSeconds - expected[i].period) < 0.0005,
                 qPrintable(QString::number(train.periodSeconds, 'f', 6)));
        QVERIFY(std::abs(train.bandHz - expected[i].toneHz) < 20);
        QVERIFY(train.jitterMs < 1.0);
        QCOMPARE(train.events.size(), expected[i].times.size());
        // Every member is one of the band's own bursts, none a click of the other band.
        for (std::size_t k = 0; k < train.events.size(); ++k)
            QVERIFY2(std::abs(train.events[k].timeSeconds - expected[i].times[k]) < 0.005,
                     qPrintable(QString::number(train.events[k].timeSeconds)));
    }
    QVERIFY(r.events.empty());
}

void TestWavAnalyzer::reportsProgressInOrder()
{
    const int fs = 8000;
    std::vector<double> times;
    for (double t = 1; t < 45; t += 1)
        times.push_back(t);
    const QString path = wav("progress.wav", fs, 1, burstSignal(fs, 45, times));
    std::atomic<bool> cancel{false};
    QList<QPair<int, QString>> calls;
    const Result r =
        analyzeWav(requestFor(path, 80, 3000), cancel, [&](int percent, const std::string &text) {
            calls.append({percent, QString::fromStdString(text)});
        });
    QVERIFY(calls.size() >= 6);
    QCOMPARE(calls[0], qMakePair(2, QString("Reading WAV header")));
    QCOMPARE(calls[1],
             qMakePair(15, QString("Calculating native STFT spectrum and discovering bands")));
    // Three blocks of 20, 20 and 5 seconds: 16 + floor(27 * e / N).
    QCOMPARE(calls[2], qMakePair(16 + 27 * 20 / 45, QString("Spectrogram and candidate bands")));
    QCOMPARE(calls[3], qMakePair(16 + 27 * 40 / 45, QString("Spectrogram and candidate bands")));
    QCOMPARE(calls[4], qMakePair(43, QString("Spectrogram and candidate bands")));
    QCOMPARE(calls[5].first, 44);
    QCOMPARE(calls[5].second, QString("Measuring pulse envelopes"));
    for (int i = 6; i + 1 < calls.size(); ++i) {
        QCOMPARE(calls[i].second, QString("Measuring pulse envelopes"));
        QVERIFY(calls[i].first > calls[i - 1].first && calls[i].first < 75);
    }
    QCOMPARE(calls.last(), qMakePair(78, QString("Native DSP analysis completed")));
    QCOMPARE(r.trains.size(), std::size_t(1));
}

void TestWavAnalyzer::cancelsDuringFourierPass()
{
    const int fs = 8000;
    const QString path = wav("cancel.wav", fs, 1, TestSignals::noise(50 * fs, 0.01));
    std::atomic<bool> cancel{false};
    QStringList texts;
    QString error;
    try {
        analyzeWav(requestFor(path, 80, 3000), cancel, [&](int, const std::string &text) {
            texts << QString::fromStdString(text);
            if (text == "Spectrogram and candidate bands")
                cancel = true;
        });
    } catch (const std::runtime_error &e) {
        error = e.what();
    }
    QCOMPARE(error, QString("Analysis cancelled"));
    // Stopped right after the first 20-second block.
    QCOMPARE(texts.count("Spectrogram and candidate bands"), 1);
    QVERIFY(!texts.contains("Measuring pulse envelopes"));
}

QTEST_GUILESS_MAIN(TestWavAnalyzer)
#include "tst_wavanalyzer.moc"
