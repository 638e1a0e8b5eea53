// The band-scope history: rolling statistics against a two-pass computation, the ring's bound,
// keys and the reference; and what the plot, the statistics line and the waterfall show of it.
#include "bandscopehistory.h"
#include "bandscopeview.h"
#include "scoperecord.h"

#include <QDateTime>
#include <QTest>

#include <cmath>
#include <random>

namespace {

using Codes = std::array<int, 1024>;

Codes filled(int code, int bins = 1024)
{
    Codes codes;
    codes.fill(-1);
    std::fill(codes.begin(), codes.begin() + bins, code);
    return codes;
}

const ScopeHistoryKey narrowKey{4650000, 7, 0, 128};

// Mean, population SD, maximum and count of codes 2-15 of a bin over the newest `window`
// frames, the textbook way: sum first, then squared deviations.
ScopeBinStatistics twoPass(const std::vector<Codes> &frames, int bin, int window)
{
    std::vector<int> values;
    for (int i = static_cast<int>(frames.size()) - 1, n = 0; i >= 0 && n < window; --i, ++n) {
        const int code = frames[static_cast<size_t>(i)][static_cast<size_t>(bin)];
        if (code >= 2 && code <= 15)
            values.push_back(code);
    }
    ScopeBinStatistics s;
    s.count = static_cast<int>(values.size());
    if (values.empty())
        return s;
    double sum = 0;
    for (int v : values) {
        sum += v;
        s.maximum = std::max(s.maximum, v);
    }
    s.mean = sum / s.count;
    double squares = 0;
    for (int v : values)
        squares += (v - s.mean) * (v - s.mean);
    s.sd = s.count > 1 ? std::sqrt(squares / s.count) : 0.0;
    return s;
}

} // namespace

class HistoryTest : public QObject
{
    Q_OBJECT

private slots:
    void statisticsMatchTwoPass_data();
    void statisticsMatchTwoPass();
    void ringKeysAndReference();
    void traces_data();
    void traces();
    void nominalAxisShowsTheSpan();
    void statisticsLine();
    void waterfall();
};

void HistoryTest::statisticsMatchTwoPass_data()
{
    QTest::addColumn<int>("frames");
    QTest::addColumn<int>("window");
    QTest::newRow("one sweep") << 1 << 16;
    QTest::newRow("three sweeps, window 16") << 3 << 16;
    QTest::newRow("window smaller than history") << 40 << 16;
    QTest::newRow("full ring") << 256 << 256;
    QTest::newRow("ring overflowed") << 300 << 256;
    QTest::newRow("window 2") << 10 << 2;
}

void HistoryTest::statisticsMatchTwoPass()
{
    QFETCH(int, frames);
    QFETCH(int, window);
    std::mt19937 random(static_cast<unsigned>(frames * 1000 + window));
    std::uniform_int_distribution<int> code(-1, 15);
    BandScopeHistory history;
    std::vector<Codes> all;
    for (int f = 0; f < frames; ++f) {
        Codes codes;
        for (int &c : codes)
            c = code(random);
        all.push_back(codes);
        history.add({98000000, 1, 0, 1024}, codes, 1000 * f);
    }
    QCOMPARE(history.size(), std::min(frames, BandScopeHistory::capacity));
    QCOMPARE(history.framesSinceReset(), frames);
    const QVector<ScopeBinStatistics> stats = history.statistics(window);
    for (int bin = 0; bin < 1024; ++bin) {
        const ScopeBinStatistics expected = twoPass(all, bin, window);
        const ScopeBinStatistics &got = stats[bin];
        QCOMPARE(got.count, expected.count);
        QCOMPARE(got.maximum, expected.maximum);
        QVERIFY2(std::fabs(got.mean - expected.mean) < 1e-9, qPrintable(QString::number(bin)));
        QVERIFY2(std::fabs(got.sd - expected.sd) < 1e-9, qPrintable(QString::number(bin)));
    }
}

void HistoryTest::ringKeysAndReference()
{
    BandScopeHistory history;
    history.add(narrowKey, filled(5, 128), 1);
    history.add(narrowKey, filled(9, 128), 2);
    QCOMPARE(history.statistics(0, 16).mean, 7.0);
    QCOMPARE(history.statistics(0, 16).sd, 2.0);

    history.setReference(16);
    QCOMPARE(history.reference(0), 7.0);
    QCOMPARE(history.reference(200), -1.0); // never measured

    // Another peak hold is another key: everything starts again.
    ScopeHistoryKey held = narrowKey;
    held.peakHold = 1;
    history.add(held, filled(3, 128), 3);
    QCOMPARE(history.size(), 1);
    QCOMPARE(history.framesSinceReset(), 1);
    QCOMPARE(history.reference(0), -1.0);
    QCOMPARE(history.key(), held);

    history.clear();
    QVERIFY(history.isEmpty());
    QCOMPARE(history.framesSinceReset(), 0);
    QCOMPARE(history.statistics(0, 16).count, 0);
}

// Trace points on the raw axis, window 2: a sweep of 6 everywhere (frozen as the reference),
// then sweeps of 5 and of 9 in bins 2-127 (bins 0 and 1 hold codes 0 and 1); the current frame
// is the last sweep.
void HistoryTest::traces_data()
{
    QTest::addColumn<int>("view");
    QTest::addColumn<bool>("verified");
    QTest::addColumn<int>("points");
    QTest::addColumn<QPointF>("last");
    QTest::addColumn<QString>("leftTitle");

    QTest::newRow("current keeps 0 and 1")
        << int(BandScopeView::Current) << true << 128 << QPointF(127, 9) << "Native level";
    QTest::newRow("average") << int(BandScopeView::Average) << true << 126 << QPointF(127, 7)
                             << "Native level";
    QTest::newRow("software peak")
        << int(BandScopeView::PeakHold) << true << 126 << QPointF(127, 9) << "Native level";
    QTest::newRow("deviation") << int(BandScopeView::StdDeviation) << true << 126 << QPointF(127, 2)
                               << "Population SD";
    QTest::newRow("difference skips codes 0 and 1")
        << int(BandScopeView::Difference) << true << 126 << QPointF(127, 3) << "Difference (codes)";
    QTest::newRow("unconfirmed setup shows the frame")
        << int(BandScopeView::Average) << false << 128 << QPointF(127, 9) << "Native level";
}

void HistoryTest::traces()
{
    QFETCH(int, view);
    QFETCH(bool, verified);
    QFETCH(int, points);
    QFETCH(QPointF, last);
    QFETCH(QString, leftTitle);

    Codes five = filled(5, 128);
    Codes nine = filled(9, 128);
    five[0] = nine[0] = 0;
    five[1] = nine[1] = 1;
    BandScopeHistory history;
    history.add(narrowKey, filled(6, 128), 1);
    history.setReference(16);
    history.add(narrowKey, five, 2);
    history.add(narrowKey, nine, 3);

    ScopeRecord record;
    record.frame.reset(7);
    record.frame.codes = nine;
    record.frame.rows = 4;
    record.requestedCentreHz = 4650000;
    record.requestedSpanCode = 7;
    record.setupVerified = verified;

    BandScopeView::Source source;
    source.record = &record;
    source.history = &history;
    source.selectedView = view;
    source.rawAxisTicked = true;
    source.window = 2;
    const BandScopeView::Plot plot = BandScopeView::plot(source, false);
    QCOMPARE(plot.view, verified ? view : int(BandScopeView::Current));
    QCOMPARE(plot.points.size(), points);
    QCOMPARE(plot.points.last(), last);
    QCOMPARE(plot.left.title, leftTitle);
    QCOMPARE(plot.bottom.title, QStringLiteral("Raw DS index"));
    QCOMPARE(plot.bottom.high, 127.0);
    if (view == BandScopeView::Difference)
        QCOMPARE(plot.left.low, -13.0);
}

void HistoryTest::nominalAxisShowsTheSpan()
{
    BandScopeHistory history;
    ScopeRecord record;
    record.frame.reset(7);
    record.frame.codes = filled(1, 128);
    record.frame.codes[52] = 8;
    record.frame.rows = 4;
    record.requestedCentreHz = 4650000;
    record.requestedSpanCode = 7;
    record.setupVerified = true;
    BandScopeView::Source source;
    source.record = &record;
    source.history = &history;
    source.rawAxisTicked = false;

    const BandScopeView::Plot plot = BandScopeView::plot(source, true);
    QVERIFY(!plot.rawAxis);
    // Codes 0 and 1 are left out on the frequency axis; bin 52 is 4.626 MHz.
    QCOMPARE(plot.points.size(), 1);
    QCOMPARE(plot.points.first().y(), 8.0);
    QVERIFY(std::fabs(plot.points.first().x() - 4.626) < 1e-9);
    QCOMPARE(plot.bottom.low, 4.6);
    QCOMPARE(plot.bottom.high, 4.7);
    QCOMPARE(plot.bottom.title,
             QStringLiteral("Frequenza RF nominale (MHz) - mappatura da verificare"));
    QCOMPARE(plot.left.title, QStringLiteral("Livello nativo"));
}

void HistoryTest::statisticsLine()
{
    BandScopeHistory history;
    ScopeRecord record;
    record.frame.reset(7);
    BandScopeView::Source source;
    source.record = &record;
    source.history = &history;
    source.window = 16;
    QCOMPARE(BandScopeView::statisticsLine(source, false),
             QStringLiteral("Sweeps: 0 | Window: 0 | Valid: 0 | Saturation F: -- | Minimum 2: -- "
                            "| Last DS: 0.00 s | RX PH: ?"));

    Codes codes = filled(2, 128);
    codes[0] = codes[1] = codes[2] = 15;
    codes[3] = 0;
    for (int i = 0; i < 3; ++i)
        history.add(narrowKey, codes, i);
    record.frame.codes = codes;
    record.lastDsDurationMs = 1234;
    record.actualPeakHold = 0;
    QCOMPARE(BandScopeView::statisticsLine(source, false),
             QStringLiteral("Sweeps: 3 | Window: 3 | Valid: 127 | Saturation F: 2.4% | Minimum 2: "
                            "97.6% | Last DS: 1.23 s | RX PH: 0"));
    QVERIFY(BandScopeView::statisticsLine(source, true)
                .startsWith(QStringLiteral("Scansioni: 3 | Finestra: 3 | Validi: 127")));
}

void HistoryTest::waterfall()
{
    BandScopeHistory history;
    QCOMPARE(BandScopeView::waterfallTimeText(history, 64, false),
             QStringLiteral("No sweeps recorded."));
    QCOMPARE(BandScopeView::waterfallTimeText(history, 64, true),
             QStringLiteral("Nessuna scansione registrata."));

    const qint64 t0 = QDateTime(QDate(2024, 5, 1), QTime(12, 0, 0), Qt::UTC).toMSecsSinceEpoch();
    Codes low = filled(2, 128);
    low[5] = 1;
    history.add(narrowKey, low, t0);
    history.add(narrowKey, filled(15, 128), t0 + 61000);
    const QImage image = BandScopeView::waterfall(history, 8);
    QCOMPARE(image.size(), QSize(128, 8));
    const QRgb background = QColor(QLatin1String(BandScopeView::background)).rgb();
    QCOMPARE(image.pixel(0, 0), BandScopeView::levelColour(15).rgb()); // newest on top
    QCOMPARE(image.pixel(0, 1), BandScopeView::levelColour(2).rgb());
    QCOMPARE(image.pixel(5, 1), background); // code 1 stays background
    QCOMPARE(image.pixel(0, 2), background); // no third sweep
    QCOMPARE(BandScopeView::levelColour(2).rgb(), QColor::fromHsvF(0.62, 0.82, 0.82).rgb());
    QCOMPARE(BandScopeView::levelColour(15).rgb(), QColor::fromHsvF(0.0, 0.82, 1.0).rgb());
    QVERIFY(!BandScopeView::levelColour(1).isValid());
    QCOMPARE(BandScopeView::waterfallTimeText(history, 8, false),
             QStringLiteral("Newest 2024-05-01 12:01:01 UTC | Oldest shown 2024-05-01 12:00:00 UTC "
                            "| 2/8 sweeps | Blue low - red high"));
    QCOMPARE(BandScopeView::waterfallTimeText(history, 1, false),
             QStringLiteral("Newest 2024-05-01 12:01:01 UTC | Oldest shown 2024-05-01 12:01:01 UTC "
                            "| 1/1 sweeps | Blue low - red high"));
}

QTEST_GUILESS_MAIN(HistoryTest)
#include "tst_history.moc"
