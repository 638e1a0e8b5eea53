#include "playbackfilter.h"

#include <QtTest>

#include <cmath>
#include <complex>
#include <vector>

using Sections = PlaybackFilter::Sections;
Q_DECLARE_METATYPE(Sections)

namespace {

constexpr double kPi = 3.14159265358979323846;

double gainAt(const Sections &sections, double frequency, double rate)
{
    const std::complex<double> z1 = std::polar(1.0, -2.0 * kPi * frequency / rate);
    std::complex<double> h = 1.0;
    for (const NativeDsp::BiquadSection &s : sections) {
        h *= (s.b0 + s.b1 * z1 + s.b2 * z1 * z1) / (1.0 + s.a1 * z1 + s.a2 * z1 * z1);
    }
    return std::abs(h);
}

std::vector<qint16> sine(double frequency, double amplitude, int rate, int frames, int channels)
{
    std::vector<qint16> out(static_cast<size_t>(frames * channels));
    for (int i = 0; i < frames; ++i) {
        const double v = amplitude * std::sin(2.0 * kPi * frequency * i / rate);
        for (int c = 0; c < channels; ++c) {
            out[static_cast<size_t>(i * channels + c)] = static_cast<qint16>(std::lround(v));
        }
    }
    return out;
}

double rms(const std::vector<qint16> &s, size_t from)
{
    double sum = 0.0;
    for (size_t i = from; i < s.size(); ++i) {
        sum += double(s[i]) * s[i];
    }
    return std::sqrt(sum / double(s.size() - from));
}

} // namespace

class TestPlaybackFilter : public QObject
{
    Q_OBJECT

private slots:
    void designPassesBandAndRejectsOutside_data()
    {
        QTest::addColumn<int>("rate");
        QTest::addColumn<int>("filter");
        QTest::newRow("voice 48k") << 48000 << 0;
        QTest::newRow("narrow 44.1k") << 44100 << 1;
        QTest::newRow("voice 8k") << 8000 << 0;
    }
    void designPassesBandAndRejectsOutside()
    {
        QFETCH(int, rate);
        QFETCH(int, filter);
        const PlaybackFilter f(rate, 1);
        const Sections &s = f.sections(filter);
        const double low = f.lowEdge(filter);
        const double high = f.highEdge(filter);
        const double centre = std::sqrt(low * high);
        QVERIFY(std::abs(gainAt(s, centre, rate) - 1.0) < 1e-6);
        // Butterworth: -3 dB at both edges, flat in between.
        QVERIFY(std::abs(gainAt(s, low, rate) - std::sqrt(0.5)) < 0.02);
        QVERIFY(std::abs(gainAt(s, high, rate) - std::sqrt(0.5)) < 0.02);
        QVERIFY(gainAt(s, 1000.0, rate) > 0.97);
        QVERIFY(gainAt(s, low / 4.0, rate) < 0.01);
        QVERIFY(gainAt(s, std::min(high * 2.5, rate * 0.49), rate) < 0.05);
        QVERIFY(gainAt(s, 0.0, rate) < 1e-9);
    }

    // The sections, to the last digits, of the filter as it was designed before the design
    // moved into the DSP library: every section has one zero at -1 and one at +1, the gain sits
    // in the first.
    void sectionsKeepTheirCoefficients_data()
    {
        QTest::addColumn<int>("rate");
        QTest::addColumn<int>("filter");
        QTest::addColumn<Sections>("expected");
        QTest::newRow("voice 48k")
            << 48000 << 0
            << Sections{{{0.0010495703395201838, 0, -0.0010495703395201838, -1.5919945695405597,
                          0.75706583764269531},
                         {1, 0, -1, -1.972608938541877, 0.97418999851019306},
                         {1, 0, -1, -1.3973051135916894, 0.50510715216516844},
                         {1, 0, -1, -1.9196002682625091, 0.92164226810050076}}};
        QTest::newRow("narrow 48k")
            << 48000 << 1
            << Sections{{{0.00015959981092478646, 0, -0.00015959981092478646, -1.7819394072826145,
                          0.85439238181834065},
                         {1, 0, -1, -1.9714764681331602, 0.97366155879694127},
                         {1, 0, -1, -1.6625427538998891, 0.7028473041678085},
                         {1, 0, -1, -1.9031777909307364, 0.90668846923291158}}};
        QTest::newRow("voice 8k") << 8000 << 0
                                  << Sections{
                                         {{0.38783095426643766, 0, -0.38783095426643766,
                                           1.5250350254256015, 0.71462136261701448},
                                          {1, 0, -1, -1.7905664366124543, 0.84223616476260466},
                                          {1, 0, -1, 1.227470486099459, 0.39450250896553379},
                                          {1, 0, -1, -1.5838685332927287, 0.63368624393353346}}};
        QTest::newRow("voice 6k, upper edge lowered")
            << 6000 << 0
            << Sections{{{0.43284664499029191, 0, -0.43284664499029191, 1.7064029506964018,
                          0.79544879966298043},
                         {1, 0, -1, -1.7064029506964018, 0.79544879966298043},
                         {1, 0, -1, 1.4618396522243029, 0.54418779622632973},
                         {1, 0, -1, -1.4618396522243031, 0.54418779622632996}}};
    }
    void sectionsKeepTheirCoefficients()
    {
        QFETCH(int, rate);
        QFETCH(int, filter);
        QFETCH(Sections, expected);
        const PlaybackFilter f(rate, 1);
        QVERIFY(f.isDesigned(filter));
        const Sections &actual = f.sections(filter);
        for (std::size_t i = 0; i < actual.size(); ++i) {
            const NativeDsp::BiquadSection &a = actual[i];
            const NativeDsp::BiquadSection &e = expected[i];
            const double got[] = {a.b0, a.b1, a.b2, a.a1, a.a2};
            const double want[] = {e.b0, e.b1, e.b2, e.a1, e.a2};
            for (int c = 0; c < 5; ++c)
                QVERIFY2(std::abs(got[c] - want[c]) <= 1e-14 * std::max(1.0, std::abs(want[c])),
                         qPrintable(QString("section %1 coefficient %2: %3 vs %4")
                                        .arg(i)
                                        .arg(c)
                                        .arg(got[c], 0, 'g', 17)
                                        .arg(want[c], 0, 'g', 17)));
        }
    }

    void upperEdgeFollowsRate_data()
    {
        QTest::addColumn<int>("rate");
        QTest::addColumn<double>("voiceHigh");
        QTest::addColumn<double>("narrowHigh");
        QTest::newRow("6000") << 6000 << 2700.0 << 2200.0;
        QTest::newRow("8000") << 8000 << 3400.0 << 2200.0;
        QTest::newRow("48000") << 48000 << 3400.0 << 2200.0;
    }
    void upperEdgeFollowsRate()
    {
        QFETCH(int, rate);
        QFETCH(double, voiceHigh);
        QFETCH(double, narrowHigh);
        PlaybackFilter f(rate, 1);
        QVERIFY(f.isDesigned(0) && f.isDesigned(1));
        QCOMPARE(f.lowEdge(0), 300.0);
        QCOMPARE(f.highEdge(0), voiceHigh);
        QCOMPARE(f.lowEdge(1), 350.0);
        QCOMPARE(f.highEdge(1), narrowHigh);
    }

    void vanishingBandStaysUndesignedAndActsAsOff()
    {
        PlaybackFilter f(600, 1); // 0.45 x 600 = 270 Hz, below both lower edges
        QVERIFY(!f.isDesigned(0));
        QVERIFY(!f.isDesigned(1));
        f.selectPreset(PlaybackFilter::Voice, false);
        std::vector<qint16> s = sine(50.0, 8000.0, 600, 600, 1);
        const std::vector<qint16> original = s;
        f.process(s.data(), 600);
        QVERIFY(s == original);
    }

    void voiceFilterAttenuatesLowHum()
    {
        PlaybackFilter f(48000, 2);
        f.selectPreset(PlaybackFilter::Voice, false);
        std::vector<qint16> hum = sine(50.0, 10000.0, 48000, 48000, 2);
        f.process(hum.data(), 48000);
        QVERIFY(rms(hum, 48000) < 10000.0 / std::sqrt(2.0) * 0.01);

        PlaybackFilter g(48000, 2);
        g.selectPreset(PlaybackFilter::Voice, false);
        std::vector<qint16> voice = sine(1000.0, 10000.0, 48000, 48000, 2);
        g.process(voice.data(), 48000);
        QVERIFY(std::abs(rms(voice, 48000) - 10000.0 / std::sqrt(2.0)) < 150.0);
    }

    void crossfadeRampsOverTwentyMilliseconds()
    {
        PlaybackFilter f(48000, 1);
        QCOMPARE(f.rampLength(), 960);
        f.selectPreset(PlaybackFilter::Voice, false);
        QCOMPARE(f.weight(0), 1.0);
        f.selectPreset(PlaybackFilter::NarrowVoice, true);
        std::vector<qint16> s = sine(1000.0, 5000.0, 48000, 480, 1);
        f.process(s.data(), 480);
        QVERIFY(f.isRamping());
        QVERIFY(std::abs(f.weight(0) - 0.5) < 1e-9);
        QVERIFY(std::abs(f.weight(1) - 0.5) < 1e-9);
        f.process(s.data(), 480);
        QVERIFY(!f.isRamping());
        QCOMPARE(f.weight(0), 0.0);
        QCOMPARE(f.weight(1), 1.0);
    }

    void crossfadeHasNoStep()
    {
        // A 1 kHz tone passes both filters with nearly the same gain and phase, so switching
        // between them must not produce a jump larger than the tone's own slope.
        PlaybackFilter f(48000, 1);
        f.selectPreset(PlaybackFilter::Voice, false);
        std::vector<qint16> s = sine(1000.0, 10000.0, 48000, 9600, 1);
        f.process(s.data(), 4800);
        f.selectPreset(PlaybackFilter::NarrowVoice, true);
        f.process(s.data() + 4800, 4800);
        const double maxSlope = 10000.0 * 2.0 * kPi * 1000.0 / 48000.0;
        for (size_t i = 4000; i + 1 < s.size(); ++i) {
            QVERIFY2(std::abs(s[i + 1] - s[i]) < maxSlope * 1.3, qPrintable(QString::number(i)));
        }
    }

    void offReturnsCapturedSamplesAfterFade()
    {
        PlaybackFilter f(44100, 2);
        f.selectPreset(PlaybackFilter::Voice, false);
        std::vector<qint16> warm = sine(700.0, 12000.0, 44100, 4410, 2);
        f.process(warm.data(), 4410);
        f.selectPreset(PlaybackFilter::Off, true);
        std::vector<qint16> fade = sine(700.0, 12000.0, 44100, f.rampLength(), 2);
        f.process(fade.data(), f.rampLength());
        QVERIFY(!f.isRamping());
        std::vector<qint16> after = sine(3000.0, 32767.0, 44100, 2000, 2);
        after[10] = -32768;
        const std::vector<qint16> original = after;
        f.process(after.data(), 2000);
        QVERIFY(after == original);
    }

    void reselectingSamePresetKeepsState()
    {
        PlaybackFilter f(48000, 1);
        f.selectPreset(PlaybackFilter::Voice, false);
        f.selectPreset(PlaybackFilter::Voice, true);
        QVERIFY(!f.isRamping());
        f.selectPreset(7, true); // unknown preset means Off
        QVERIFY(f.isRamping());
    }

    void outputIsClampedToSixteenBits()
    {
        PlaybackFilter f(48000, 1);
        f.selectPreset(PlaybackFilter::Voice, false);
        // A full-scale square wave overshoots through the band-pass; the result must saturate.
        std::vector<qint16> s(4800);
        for (size_t i = 0; i < s.size(); ++i) {
            s[i] = (i / 24) % 2 ? 32767 : -32768;
        }
        f.process(s.data(), 4800);
        bool saturated = false;
        for (qint16 v : s) {
            saturated = saturated || v == 32767 || v == -32768;
        }
        QVERIFY(saturated);
    }
};

QTEST_APPLESS_MAIN(TestPlaybackFilter)
#include "tst_playbackfilter.moc"
