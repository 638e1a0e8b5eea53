// The simulated receiver's audio on SSB and CW: every station in the passband at its RF offset,
// the sideband a station sends and the receiver hears, the FSK station's two tones, the sweeping
// tone, the shaped noise floor, and the band plan's stations between 4.6 and 4.7 MHz. On FM: the
// quieting of a strong carrier, and the emission keyed once after every tuning.

#include "audiosynth.h"
#include "bandplan.h"
#include "corvindriver.h"
#include "rxsimulator.h"

#include <QTemporaryFile>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr int rate = 48000;
constexpr int usb = 3, lsb = 4, cw = 5, am = 2, wfm = 0;

// Amplitude of the sinusoid at hertz in samples (Goertzel with a Hann window).
double amplitudeAt(const std::vector<float> &samples, double hertz)
{
    const double w = 2.0 * M_PI * hertz / rate;
    double re = 0.0, im = 0.0, gain = 0.0;
    const size_t n = samples.size();
    for (size_t i = 0; i < n; ++i) {
        const double window = 0.5 - 0.5 * std::cos(2.0 * M_PI * double(i) / double(n));
        re += window * double(samples[i]) * std::cos(w * double(i));
        im -= window * double(samples[i]) * std::sin(w * double(i));
        gain += window;
    }
    return 2.0 * std::hypot(re, im) / gain;
}

SidebandStation heard(AudioKind kind, int mode, qint64 rfOffset, int level = 200)
{
    SidebandStation s;
    s.station.frequency = quint64(4600000 + rfOffset);
    s.station.kind = kind;
    s.station.mode = mode;
    s.station.level = level;
    s.rfOffsetHz = rfOffset;
    return s;
}

std::vector<float> render(int receiverMode, const QVector<SidebandStation> &stations,
                          double seconds = 1.0)
{
    AudioScene scene;
    scene.effectiveMode = receiverMode;
    scene.sideband = stations;
    AudioSynth synth(rate);
    std::vector<float> samples(static_cast<size_t>(seconds * rate));
    synth.render(scene, samples.data(), int(samples.size()));
    return samples;
}

// RMS of samples in dBFS.
double rmsDbfs(const std::vector<float> &samples)
{
    double sum = 0.0;
    for (float s : samples)
        sum += double(s) * double(s);
    return 10.0 * std::log10(std::max(sum / double(samples.size()), 1e-20));
}

// The tuned station's scene on AM or FM (kind Silence: no station).
AudioScene tunedScene(int receiverMode, AudioKind kind, int level, quint64 tunings = 1)
{
    AudioScene scene;
    scene.effectiveMode = receiverMode;
    scene.tunings = tunings;
    if (kind != AudioKind::Silence) {
        scene.hasStation = true;
        scene.strength = 1.0;
        scene.station.kind = kind;
        scene.station.mode = receiverMode;
        scene.station.level = level;
        scene.station.frequency = 91100000;
    }
    return scene;
}

} // namespace

class TestRxSimAudio : public QObject
{
    Q_OBJECT

private slots:
    void carriersAtTheirOffsets_data();
    void carriersAtTheirOffsets();
    void sidebandsOfAStation_data();
    void sidebandsOfAStation();
    void fskHasTwoTones();
    void sweepGlides();
    void noiseFloorIsShaped();
    void sceneListsStationsInEarshot();
    void fmQuietsTheBandNoise_data();
    void fmQuietsTheBandNoise();
    void emissionAfterEveryTuning_data();
    void emissionAfterEveryTuning();
    void newKindsInPlanFiles();
};

void TestRxSimAudio::carriersAtTheirOffsets_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("offset");
    QTest::addColumn<double>("audioHz"); // 0: not heard
    QTest::newRow("USB 1000 Hz above") << usb << 1000 << 1000.0;
    QTest::newRow("USB 2500 Hz above") << usb << 2500 << 2500.0;
    QTest::newRow("USB below the tuning") << usb << -1000 << 0.0;
    QTest::newRow("USB beyond the passband") << usb << 3500 << 0.0;
    QTest::newRow("LSB 800 Hz below") << lsb << -800 << 800.0;
    QTest::newRow("LSB above the tuning") << lsb << 800 << 0.0;
    QTest::newRow("CW as USB") << cw << 700 << 700.0;
}

void TestRxSimAudio::carriersAtTheirOffsets()
{
    QFETCH(int, mode);
    QFETCH(int, offset);
    QFETCH(double, audioHz);
    const std::vector<float> samples = render(mode, {heard(AudioKind::Carrier, cw, offset)});
    const double gain = 0.2 + 0.5 * 200 / 255.0;
    if (audioHz > 0.0) {
        QVERIFY2(std::fabs(amplitudeAt(samples, audioHz) - gain) < 0.02,
                 qPrintable(QString::number(amplitudeAt(samples, audioHz))));
    } else {
        for (double hz : {200.0, 800.0, 1000.0, 2500.0, 3300.0})
            QVERIFY(amplitudeAt(samples, hz) < 0.01);
    }
}

void TestRxSimAudio::sidebandsOfAStation_data()
{
    QTest::addColumn<int>("stationMode");
    QTest::addColumn<QVector<double>>("present");
    QTest::addColumn<QVector<double>>("absent");
    // A 1000 Hz tone from a station 500 Hz above the tuning, heard in USB.
    QTest::newRow("USB station") << usb << QVector<double>{1500.0}
                                 << QVector<double>{500.0, 1000.0};
    QTest::newRow("AM station") << am << QVector<double>{500.0, 1500.0} << QVector<double>{1000.0};
    QTest::newRow("CW station") << cw << QVector<double>{500.0} << QVector<double>{1500.0};
}

void TestRxSimAudio::sidebandsOfAStation()
{
    QFETCH(int, stationMode);
    QFETCH(QVector<double>, present);
    QFETCH(QVector<double>, absent);
    const std::vector<float> samples = render(usb, {heard(AudioKind::Tone, stationMode, 500)});
    for (double hz : present)
        QVERIFY2(amplitudeAt(samples, hz) > 0.2, qPrintable(QString::number(hz)));
    for (double hz : absent)
        QVERIFY2(amplitudeAt(samples, hz) < 0.01, qPrintable(QString::number(hz)));
}

void TestRxSimAudio::fskHasTwoTones()
{
    // Heard 1000 Hz below its lower tone: every bit (45.45 baud) is one of two tones, 1000 or
    // 1170 Hz, never the middle; over 4 s both occur often. The keying is phase-continuous, so
    // each bit is measured on its own.
    const std::vector<float> samples = render(usb, {heard(AudioKind::Fsk, usb, 1000)}, 4.0);
    const double bitSamples = rate / 45.45;
    int space = 0, mark = 0;
    const int bits = int(samples.size() / bitSamples);
    for (int bit = 0; bit < bits; ++bit) {
        // The middle 900 samples of the bit: one tone only.
        const auto first = samples.begin() + long(bit * bitSamples + 78);
        const std::vector<float> one(first, first + 900);
        const double low = amplitudeAt(one, 1000.0);
        const double high = amplitudeAt(one, 1170.0);
        const double strongest = std::max(low, high);
        QVERIFY2(strongest > 0.05,
                 qPrintable(QStringLiteral("bit %1: %2").arg(bit).arg(strongest)));
        QVERIFY2(std::min(low, high) < 0.2 * strongest,
                 qPrintable(QStringLiteral("bit %1: %2 %3").arg(bit).arg(low).arg(high)));
        QVERIFY(amplitudeAt(one, 1085.0) < 0.5 * strongest);
        QVERIFY(amplitudeAt(one, 1400.0) < 0.1 * strongest);
        ++(low > high ? space : mark);
    }
    QVERIFY2(space > bits / 4 && mark > bits / 4,
             qPrintable(QStringLiteral("%1 space, %2 mark").arg(space).arg(mark)));
}

void TestRxSimAudio::sweepGlides()
{
    // Over its first 12 s the tone rises from the offset by 2500 Hz x 12 / 30 = 1000 Hz.
    const std::vector<float> samples = render(usb, {heard(AudioKind::Sweep, cw, 500)}, 12.0);
    const auto window = [&](double from) {
        return std::vector<float>(samples.begin() + long(from * rate),
                                  samples.begin() + long((from + 0.2) * rate));
    };
    QVERIFY(amplitudeAt(window(0.0), 510.0) > 0.3);
    QVERIFY(amplitudeAt(window(0.0), 1400.0) < 0.02);
    QVERIFY(amplitudeAt(window(11.8), 1490.0) > 0.3);
    QVERIFY(amplitudeAt(window(11.8), 600.0) < 0.02);
}

void TestRxSimAudio::noiseFloorIsShaped()
{
    const std::vector<float> samples = render(usb, {}, 2.0);
    // In the passband the floor's mean power is far (over 10 dB) above what is left outside
    // it; averaged over many frequencies, since one noise bin says little.
    const auto meanPower = [&](double from, double to) {
        double sum = 0.0;
        for (int i = 0; i < 24; ++i) {
            const double a = amplitudeAt(samples, from + (to - from) * i / 23.0);
            sum += a * a;
        }
        return sum / 24.0;
    };
    const double inside = meanPower(600.0, 2400.0);
    const double outside = meanPower(6000.0, 15000.0);
    QVERIFY2(inside > 10.0 * outside, qPrintable(QStringLiteral("%1 %2").arg(inside).arg(outside)));
}

void TestRxSimAudio::sceneListsStationsInEarshot()
{
    // The default plan keeps its stations and gains two carriers, a voice, FSK and a sweep.
    const BandPlan plan = BandPlan::defaultPlan();
    QStringList names;
    for (const SimStation &s : plan.stations()) {
        if (s.frequency >= 4600000 && s.frequency <= 4700000)
            names << QStringLiteral("%1 %2").arg(s.frequency).arg(BandPlan::kindName(s.kind));
    }
    QCOMPARE(names, QStringList({"4610000 carrier", "4625000 pulses", "4640000 speech",
                                 "4655000 carrier", "4670000 fsk", "4685000 sweep"}));

    RxSimulator sim;
    sim.setPaced(false);
    QString error;
    QVERIFY2(sim.start(&error), qPrintable(error));
    Corvindriver driver;
    QVERIFY(driver.openPort(sim.portPath()));
    QVERIFY(driver.tune(4669000));
    QVERIFY(driver.setMode(am));
    QVERIFY(sim.audioScene().sideband.isEmpty());
    QVERIFY(driver.setMode(usb));
    const AudioScene scene = sim.audioScene();
    QCOMPARE(scene.sideband.size(), 1);
    QCOMPARE(scene.sideband[0].station.name, QStringLiteral("FSK 4670"));
    QCOMPARE(scene.sideband[0].rfOffsetHz, 1000);
}

void TestRxSimAudio::fmQuietsTheBandNoise_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("level");
    QTest::addColumn<double>("lowestDbfs");
    QTest::addColumn<double>("highestDbfs");
    QTest::newRow("FM, strong carrier: quiet")
        << wfm << int(AudioKind::Carrier) << 160 << -120.0 << -80.0;
    QTest::newRow("FM, weak carrier: hiss")
        << wfm << int(AudioKind::Carrier) << 40 << -45.0 << -30.0;
    QTest::newRow("FM, no station: hiss") << wfm << int(AudioKind::Silence) << 0 << -35.0 << -25.0;
    QTest::newRow("AM, strong carrier: band noise")
        << am << int(AudioKind::Carrier) << 160 << -50.0 << -40.0;
    // White noise of RMS -20.5 dBFS: -30 dBFS in the 2.9 kHz voice band.
    QTest::newRow("FM, noise station") << wfm << int(AudioKind::Noise) << 140 << -22.0 << -19.0;
}

void TestRxSimAudio::fmQuietsTheBandNoise()
{
    QFETCH(int, mode);
    QFETCH(int, kind);
    QFETCH(int, level);
    QFETCH(double, lowestDbfs);
    QFETCH(double, highestDbfs);
    AudioSynth synth(rate);
    std::vector<float> samples(rate);
    synth.render(tunedScene(mode, AudioKind(kind), level), samples.data(), rate);
    const double dbfs = rmsDbfs(samples);
    QVERIFY2(dbfs >= lowestDbfs && dbfs <= highestDbfs, qPrintable(QString::number(dbfs)));
}

void TestRxSimAudio::emissionAfterEveryTuning_data()
{
    QTest::addColumn<int>("mode");
    QTest::newRow("FM") << wfm;
    QTest::newRow("AM") << am;
    QTest::newRow("USB, heard at its offset") << usb;
}

void TestRxSimAudio::emissionAfterEveryTuning()
{
    QFETCH(int, mode);
    AudioScene scene = tunedScene(mode, AudioKind::Emission, 150);
    if (mode == usb) {
        scene.station.mode = usb;
        scene.sideband = {{scene.station, 0}};
    }
    AudioSynth synth(rate);
    std::vector<float> samples(rate);
    // Where the tone is on (over a third of its peak, the noise floor far below): from 0.4 s
    // to 0.55 s after the tuning, within the 5 ms edges, at its pitch.
    const auto keyed = [&](double *on, double *off) {
        const auto isOn = [](float s) { return std::fabs(s) > 0.15f; };
        const auto first = std::find_if(samples.begin(), samples.end(), isOn);
        const auto last = std::find_if(samples.rbegin(), samples.rend(), isOn);
        if (first == samples.end())
            return false;
        *on = double(std::distance(samples.begin(), first)) / rate;
        *off = double(std::distance(samples.begin(), last.base())) / rate;
        return true;
    };
    for (quint64 tunings : {1, 2}) {
        scene.tunings = tunings;
        synth.render(scene, samples.data(), rate);
        double on = 0.0, off = 0.0;
        QVERIFY(keyed(&on, &off));
        QVERIFY2(std::fabs(on - 0.4) < 0.005 && std::fabs(off - 0.55) < 0.005,
                 qPrintable(QStringLiteral("%1 %2").arg(on).arg(off)));
        const std::vector<float> burst(samples.begin() + int(0.41 * rate),
                                       samples.begin() + int(0.54 * rate));
        QVERIFY(amplitudeAt(burst, AudioSynth::emissionHz) > 0.2);
        // Once only: the next second, still on the same tuning, has no tone.
        synth.render(scene, samples.data(), rate);
        QVERIFY(!keyed(&on, &off));
    }
}

void TestRxSimAudio::newKindsInPlanFiles()
{
    QTemporaryFile file;
    QVERIFY(file.open());
    file.write("station 4610000 CW 200 120 carrier A carrier\n"
               "station 4670000 USB 400 100 fsk Teleprinter\n"
               "station 4685000 CW 5000 80 sweep Sweeper\n"
               "station 91100000 WFM 100000 150 emission Beacon\n");
    file.flush();
    BandPlan plan;
    QString error;
    QVERIFY2(BandPlan::loadFile(file.fileName(), &plan, &error), qPrintable(error));
    QCOMPARE(plan.stations().size(), 4);
    QCOMPARE(plan.stations()[0].kind, AudioKind::Carrier);
    QCOMPARE(plan.stations()[1].kind, AudioKind::Fsk);
    QCOMPARE(plan.stations()[2].kind, AudioKind::Sweep);
    QCOMPARE(plan.stations()[3].kind, AudioKind::Emission);
}

QTEST_GUILESS_MAIN(TestRxSimAudio)
#include "tst_rxsimaudio.moc"
