// The live feature bank: configuration rules, the metrics of known signals, warm-up and the
// block layout at 44.1 kHz.

#include "anomalysignals.h"
#include "livefeaturebank.h"

#include <QtTest>

#include <cmath>
#include <stdexcept>

Q_DECLARE_METATYPE(std::vector<double>)

using namespace AnomalySignals;

namespace {

double value(const FeatureUpdate &update, AnomalyMetric metric)
{
    return update.values[static_cast<std::size_t>(metric)];
}

} // namespace

class TestFeatureBank : public QObject
{
    Q_OBJECT

private slots:
    void configure_data();
    void configure();
    void silentSecondLeavesMetricsUnavailable();
    void squareWave();
    void persistentTonesAndCombs_data();
    void persistentTonesAndCombs();
    void sweepDirection_data();
    void sweepDirection();
    void trailingSamplesAt44100();
};

void TestFeatureBank::configure_data()
{
    QTest::addColumn<int>("rate");
    QTest::addColumn<double>("low");
    QTest::addColumn<double>("high");
    QTest::addColumn<QString>("error");
    QTest::addColumn<double>("clampedHigh");
    const double nan = std::nan("");
    const double inf = HUGE_VAL;
    QTest::newRow("8 kHz clamps below Nyquist") << 8000 << 80.0 << 6000.0 << "" << 3984.0;
    QTest::newRow("48 kHz keeps the band") << 48000 << 80.0 << 6000.0 << "" << 6000.0;
    QTest::newRow("192 kHz") << 192000 << 0.0 << 30000.0 << "" << 30000.0;
    QTest::newRow("99 Hz wide") << 48000 << 5000.0 << 5099.0 << "Live band too narrow" << 0.0;
    QTest::newRow("narrow after clamping")
        << 48000 << 23900.0 << 30000.0 << "Live band too narrow" << 0.0;
    QTest::newRow("rate below 8000")
        << 7999 << 80.0 << 6000.0 << "Invalid live analysis band" << 0.0;
    QTest::newRow("rate above 192000")
        << 192001 << 80.0 << 6000.0 << "Invalid live analysis band" << 0.0;
    QTest::newRow("empty band") << 48000 << 300.0 << 300.0 << "Invalid live analysis band" << 0.0;
    QTest::newRow("negative low") << 48000 << -1.0 << 6000.0 << "Invalid live analysis band" << 0.0;
    QTest::newRow("NaN low") << 48000 << nan << 6000.0 << "Invalid live analysis band" << 0.0;
    QTest::newRow("infinite high") << 48000 << 80.0 << inf << "Invalid live analysis band" << 0.0;
}

void TestFeatureBank::configure()
{
    QFETCH(int, rate);
    QFETCH(double, low);
    QFETCH(double, high);
    QFETCH(QString, error);
    QFETCH(double, clampedHigh);
    LiveFeatureBank bank;
    bank.configure(48000, 80, 6000); // a failed configure must not keep an earlier one
    QString thrown;
    try {
        bank.configure(rate, low, high);
    } catch (const std::invalid_argument &e) {
        thrown = QString::fromUtf8(e.what());
    }
    QCOMPARE(thrown, error);
    QCOMPARE(bank.isConfigured(), error.isEmpty());
    FeatureUpdate update;
    if (!error.isEmpty()) {
        QVERIFY(!bank.pushSample(1000, &update));
        QCOMPARE(bank.pendingSamples(), 0);
        return;
    }
    QCOMPARE(bank.highHz(), clampedHigh);
    QCOMPARE(bank.sampleRate(), rate);
}

void TestFeatureBank::silentSecondLeavesMetricsUnavailable()
{
    LiveFeatureBank bank;
    bank.configure(48000, 80, 6000);
    const std::vector<qint16> pcm =
        concat(concat(std::vector<qint16>(48000, 0), noise(48000, 8, 3000, 1)),
               std::vector<qint16>(1000, 0));
    const std::vector<FeatureUpdate> updates = run(bank, pcm);
    QCOMPARE(updates.size(), std::size_t(9)); // the trailing fraction yields nothing
    QCOMPARE(bank.pendingSamples(), 1000);

    const FeatureUpdate &silent = updates[0];
    QCOMPARE(silent.seconds, qint64(1));
    QCOMPARE(silent.historyRows, 8);
    QCOMPARE(value(silent, AnomalyMetric::Rms), -200.0);
    for (int i = 1; i < AnomalyMetrics::count; ++i)
        QVERIFY2(std::isnan(silent.values[static_cast<std::size_t>(i)]), AnomalyMetrics::key(i));
    QVERIFY(silent.computeMs >= 0.0);

    // The first second with signal has no previous spectrum to compare with.
    QVERIFY(std::isnan(value(updates[1], AnomalyMetric::Flux)));
    QVERIFY(value(updates[1], AnomalyMetric::Entropy) > 0.9);
    QVERIFY(value(updates[2], AnomalyMetric::Flux) > 0.0);
    for (std::size_t i = 0; i < updates.size(); ++i) {
        QCOMPARE(updates[i].seconds, qint64(i + 1));
        QCOMPARE(updates[i].historyRows, std::min(64, 8 * int(i + 1)));
    }
    // Eight seconds of history, yet one of them silent: the structure is analysed, noise has
    // no persistent tone.
    QCOMPARE(value(updates[8], AnomalyMetric::PersistentPeaks), 0.0);
    QVERIFY(std::isfinite(value(updates[8], AnomalyMetric::NotchDepth)));
}

void TestFeatureBank::squareWave()
{
    // +-16384 with a period of 100 samples: 480 Hz and its odd harmonics.
    std::vector<qint16> pcm(48000 * 9);
    for (std::size_t i = 0; i < pcm.size(); ++i)
        pcm[i] = (i % 100) < 50 ? 16384 : -16384;
    LiveFeatureBank bank;
    bank.configure(48000, 80, 6000);
    const std::vector<FeatureUpdate> updates = run(bank, pcm);
    QCOMPARE(updates.size(), std::size_t(9));
    for (const FeatureUpdate &update : updates) {
        QVERIFY(std::abs(value(update, AnomalyMetric::Rms) - -6.02059991328) < 1e-10);
        QVERIFY(std::abs(value(update, AnomalyMetric::Kurtosis) - -2.0) < 1e-10);
        QVERIFY(std::abs(value(update, AnomalyMetric::Autocorrelation) - 0.997916666667) < 1e-11);
        if (update.seconds < 8) {
            QVERIFY(std::isnan(value(update, AnomalyMetric::PersistentPeaks)));
            QVERIFY(std::isnan(value(update, AnomalyMetric::DirectionCoherence)));
            continue;
        }
        QCOMPARE(value(update, AnomalyMetric::PersistentPeaks), 6.0);
        QCOMPARE(value(update, AnomalyMetric::CombCount), 6.0);
        QCOMPARE(value(update, AnomalyMetric::CombSpacing), 960.0);
    }
}

void TestFeatureBank::persistentTonesAndCombs_data()
{
    QTest::addColumn<std::vector<double>>("hertz");
    QTest::addColumn<double>("peaks");
    QTest::addColumn<double>("teeth");
    QTest::addColumn<double>("spacing");
    const double nan = std::nan("");
    QTest::newRow("1 kHz sine") << std::vector<double>{1000} << 1.0 << 0.0 << nan;
    QTest::newRow("500-800 Hz") << std::vector<double>{500, 600, 700, 800} << 4.0 << 4.0 << 100.0;
    QTest::newRow("without 700 Hz") << std::vector<double>{500, 600, 800} << 3.0 << 0.0 << nan;
    std::vector<double> many;
    for (int i = 0; i < 110; ++i)
        many.push_back(250 + 50 * i);
    QTest::newRow("more than 100 peaks") << many << 110.0 << nan << nan;
}

void TestFeatureBank::persistentTonesAndCombs()
{
    QFETCH(std::vector<double>, hertz);
    QFETCH(double, peaks);
    QFETCH(double, teeth);
    QFETCH(double, spacing);
    LiveFeatureBank bank;
    bank.configure(48000, 80, 6000);
    const std::vector<FeatureUpdate> updates =
        run(bank, tones(48000, 9, hertz, 25000.0 / static_cast<double>(hertz.size())));
    QVERIFY(std::isnan(value(updates[6], AnomalyMetric::PersistentPeaks)));
    for (std::size_t i = 7; i < updates.size(); ++i) {
        const FeatureUpdate &update = updates[i];
        QCOMPARE(value(update, AnomalyMetric::PersistentPeaks), peaks);
        const double count = value(update, AnomalyMetric::CombCount);
        QVERIFY2(std::isnan(teeth) ? std::isnan(count) : count == teeth,
                 qPrintable(QString::number(count)));
        const double found = value(update, AnomalyMetric::CombSpacing);
        QVERIFY2(std::isnan(spacing) ? std::isnan(found) : found == spacing,
                 qPrintable(QString::number(found)));
    }
}

void TestFeatureBank::sweepDirection_data()
{
    QTest::addColumn<double>("startHz");
    QTest::addColumn<double>("hertzPerSecond");
    QTest::addColumn<double>("slope");
    QTest::newRow("rising") << 1000.0 << 200.0 << 192.0;
    QTest::newRow("falling") << 3500.0 << -200.0 << -192.0;
}

void TestFeatureBank::sweepDirection()
{
    QFETCH(double, startHz);
    QFETCH(double, hertzPerSecond);
    QFETCH(double, slope);
    LiveFeatureBank bank;
    bank.configure(48000, 80, 6000);
    const std::vector<qint16> pcm =
        mix(sweep(48000, 10, startHz, hertzPerSecond, 12000), noise(48000, 10, 30, 7));
    const std::vector<FeatureUpdate> updates = run(bank, pcm);
    for (std::size_t i = 7; i < updates.size(); ++i) {
        QCOMPARE(value(updates[i], AnomalyMetric::DirectionSlope), slope);
        QVERIFY(value(updates[i], AnomalyMetric::DirectionCoherence) > 0.23);
    }
}

void TestFeatureBank::trailingSamplesAt44100()
{
    // Blocks of 5512 samples leave the last 4 samples of each second to the full-second
    // computations only. Changing them without moving the mean keeps every block spectrum.
    const std::vector<qint16> plain = noise(44100, 1, 2000, 3);
    std::vector<qint16> changed = plain;
    const qint16 offsets[] = {9000, -9000, 9000, -9000};
    for (int i = 0; i < 4; ++i)
        changed[44096 + i] = toPcm(changed[44096 + i] + offsets[i]);

    LiveFeatureBank bank;
    bank.configure(44100, 80, 6000);
    const FeatureUpdate a = run(bank, plain).at(0);
    bank.configure(44100, 80, 6000);
    const FeatureUpdate b = run(bank, changed).at(0);
    QCOMPARE(value(b, AnomalyMetric::Entropy), value(a, AnomalyMetric::Entropy));
    QCOMPARE(value(b, AnomalyMetric::Flatness), value(a, AnomalyMetric::Flatness));
    QVERIFY(value(b, AnomalyMetric::Rms) > value(a, AnomalyMetric::Rms));
    QVERIFY(value(b, AnomalyMetric::Kurtosis) > value(a, AnomalyMetric::Kurtosis));
}

QTEST_GUILESS_MAIN(TestFeatureBank)
#include "tst_featurebank.moc"
