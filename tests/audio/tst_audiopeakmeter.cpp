#include "audiopeakmeter.h"

#include <QImage>
#include <QPixmap>
#include <QtTest>

#include <cmath>

namespace {

// A meter whose decay clock the test sets by hand.
class ClockedMeter : public AudioPeakMeter
{
public:
    ClockedMeter() { resize(260, 72); }
    qint64 now = 0;

protected:
    qint64 clockMs() const override { return now; }
};

double dbfs(int magnitude)
{
    return 20.0 * std::log10(magnitude / 32768.0);
}

QColor pixel(QWidget &widget, int x, int y)
{
    return widget.grab().toImage().pixelColor(x, y);
}

// Top middle of the CLIP box of a 260 pixel wide meter, above its text.
constexpr int clipX = 260 - 55 + 21;
constexpr int clipY = 6;
// Middle row of the bar; at 260 pixels the bar spans x 14 … 246 and 0 dBFS is x 246.
constexpr int barY = 38;

const QColor clipLit(0x9D, 0x27, 0x43);
const QColor clipDark(0x22, 0x31, 0x41);
const QColor barBackground(0x26, 0x38, 0x47);
const QColor green(0x52, 0xD4, 0xAD);
const QColor amber(0xFF, 0xBA, 0x64);
const QColor red(0xFF, 0x7A, 0x8A);

} // namespace

class TestAudioPeakMeter : public QObject
{
    Q_OBJECT

private slots:
    void statusText_data();
    void statusText();
    void decayIsBoundedBy30DbPerSecond_data();
    void decayIsBoundedBy30DbPerSecond();
    void idleResetsLevelClipAndDecayClock();
    void clipLampLightsAndGoesDark();
    void barFillAndZones_data();
    void barFillAndZones();
};

void TestAudioPeakMeter::statusText_data()
{
    QTest::addColumn<int>("magnitude");
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("level");

    QTest::newRow("stopped") << -1 << "Idle" << -60.0;
    QTest::newRow("silence") << 0 << QStringLiteral("\u2212\u221E dBFS") << -60.0;
    QTest::newRow("half scale") << 16384 << "-6.0 dBFS" << dbfs(16384);
    QTest::newRow("full scale") << 32768 << "0.0 dBFS" << 0.0;
    QTest::newRow("just under full scale, no minus zero") << 32767 << "0.0 dBFS" << dbfs(32767);
    QTest::newRow("below the bar's floor") << 1 << "-90.3 dBFS" << -60.0;
    QTest::newRow("rounds up to -20.0") << 3277 << "-20.0 dBFS" << dbfs(3277);
    QTest::newRow("rounds to nearest, not down") << 2000 << "-24.3 dBFS" << dbfs(2000);
    QTest::newRow("rounds to nearest, not up") << 8000 << "-12.2 dBFS" << dbfs(8000);
}

void TestAudioPeakMeter::statusText()
{
    QFETCH(int, magnitude);
    QFETCH(QString, text);
    QFETCH(double, level);

    ClockedMeter meter;
    QCOMPARE(meter.statusText(), QStringLiteral("Idle"));
    QCOMPARE(meter.displayedLevel(), -60.0);
    meter.setPeak(magnitude, false);
    QCOMPARE(meter.statusText(), text);
    QVERIFY2(std::abs(meter.displayedLevel() - level) < 1e-9,
             qPrintable(QString::number(meter.displayedLevel())));
    QVERIFY(!meter.isClipLit());
}

void TestAudioPeakMeter::decayIsBoundedBy30DbPerSecond_data()
{
    QTest::addColumn<QVector<int>>("magnitudes");
    QTest::addColumn<QVector<int>>("timesMs");
    QTest::addColumn<double>("level");

    QTest::newRow("half scale, then silence 0.5 s later")
        << QVector<int>{16384, 0} << QVector<int>{0, 500} << dbfs(16384) - 15.0;
    QTest::newRow("full scale, then silence 1 s later")
        << QVector<int>{32768, 0} << QVector<int>{0, 1000} << -30.0;
    QTest::newRow("falls no further than the floor")
        << QVector<int>{32768, 0} << QVector<int>{0, 3000} << -60.0;
    QTest::newRow("steps of 0.1 s add up")
        << QVector<int>{32768, 0, 0, 0, 0} << QVector<int>{0, 100, 200, 300, 400} << -12.0;
    QTest::newRow("a louder peak shows at once")
        << QVector<int>{1000, 32768} << QVector<int>{0, 100} << 0.0;
    QTest::newRow("a slightly quieter peak holds its own level")
        << QVector<int>{32768, 16384} << QVector<int>{0, 100} << -3.0;
    QTest::newRow("a much quieter peak after a long gap shows itself")
        << QVector<int>{32768, 16384} << QVector<int>{0, 5000} << dbfs(16384);
}

void TestAudioPeakMeter::decayIsBoundedBy30DbPerSecond()
{
    QFETCH(QVector<int>, magnitudes);
    QFETCH(QVector<int>, timesMs);
    QFETCH(double, level);

    ClockedMeter meter;
    meter.now = 12345; // the clock's origin does not matter
    for (int i = 0; i < magnitudes.size(); ++i) {
        meter.now = 12345 + timesMs.at(i);
        meter.setPeak(magnitudes.at(i), false);
    }
    QVERIFY2(std::abs(meter.displayedLevel() - level) < 1e-9,
             qPrintable(QString::number(meter.displayedLevel())));
    if (magnitudes.last() == 0)
        QCOMPARE(meter.statusText(), QStringLiteral("\u2212\u221E dBFS"));
}

void TestAudioPeakMeter::idleResetsLevelClipAndDecayClock()
{
    ClockedMeter meter;
    meter.setPeak(32768, true);
    QVERIFY(meter.isClipLit());
    meter.now = 100;
    meter.setPeak(-1, false);
    QCOMPARE(meter.statusText(), QStringLiteral("Idle"));
    QCOMPARE(meter.displayedLevel(), -60.0);
    QVERIFY(!meter.isClipLit());
    QCOMPARE(pixel(meter, clipX, clipY), clipDark);

    // The first peak after idle does not decay over the idle gap, and the level starts from
    // the floor, not from the level before idle.
    meter.now = 60000;
    meter.setPeak(16384, false);
    QVERIFY(std::abs(meter.displayedLevel() - dbfs(16384)) < 1e-9);
    meter.now = 60500;
    meter.setPeak(0, false);
    QVERIFY(std::abs(meter.displayedLevel() - (dbfs(16384) - 15.0)) < 1e-9);
}

void TestAudioPeakMeter::clipLampLightsAndGoesDark()
{
    ClockedMeter meter;
    QCOMPARE(pixel(meter, clipX, clipY), clipDark);
    meter.setPeak(32767, true);
    QVERIFY(meter.isClipLit());
    QCOMPARE(pixel(meter, clipX, clipY), clipLit);
    // An unclipped block does not put the lamp out.
    meter.setPeak(1000, false);
    QCOMPARE(pixel(meter, clipX, clipY), clipLit);
    // About two seconds later the lamp goes dark by itself.
    QTRY_VERIFY_WITH_TIMEOUT(!meter.isClipLit(), 15000);
    QCOMPARE(pixel(meter, clipX, clipY), clipDark);
}

void TestAudioPeakMeter::barFillAndZones_data()
{
    QTest::addColumn<int>("magnitude");
    QTest::addColumn<QVector<int>>("xs");
    QTest::addColumn<QVector<QColor>>("colours");

    QTest::newRow("silence: empty bar")
        << 0 << QVector<int>{20, 130, 240}
        << QVector<QColor>{barBackground, barBackground, barBackground};
    // −30 dBFS fills half the bar, up to x 130.
    QTest::newRow("-30 dBFS") << 1036 << QVector<int>{20, 125, 136, 200}
                              << QVector<QColor>{green, green, barBackground, barBackground};
    // −6.02 dBFS ends at x 222.7; green ends at x 199.6 (−12 dBFS).
    QTest::newRow("-6 dBFS") << 16384 << QVector<int>{190, 205, 220, 228}
                             << QVector<QColor>{green, amber, amber, barBackground};
    // Red begins at x 234.4 (−3 dBFS).
    QTest::newRow("full scale") << 32768 << QVector<int>{100, 220, 238, 244}
                                << QVector<QColor>{green, amber, red, red};
}

void TestAudioPeakMeter::barFillAndZones()
{
    QFETCH(int, magnitude);
    QFETCH(QVector<int>, xs);
    QFETCH(QVector<QColor>, colours);

    ClockedMeter meter;
    meter.setPeak(magnitude, false);
    const QImage image = meter.grab().toImage();
    for (int i = 0; i < xs.size(); ++i) {
        const QColor seen = image.pixelColor(xs.at(i), barY);
        QVERIFY2(seen == colours.at(i), qPrintable(QStringLiteral("x %1: %2, expected %3")
                                                       .arg(xs.at(i))
                                                       .arg(seen.name(), colours.at(i).name())));
    }
    // Outside the bar the panel's own fill shows.
    QCOMPARE(image.pixelColor(8, barY), QColor(0x11, 0x1C, 0x27));
}

QTEST_MAIN(TestAudioPeakMeter)
#include "tst_audiopeakmeter.moc"
