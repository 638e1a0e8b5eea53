// The waterfall widget: its ring buffer, the rows a tick adds (fresh spectrum or blank after a
// second without frames, on a test clock), the row timer, and where the image is drawn.

#include "waterfallwidget.h"

#include <QtTest>

namespace {

QVector<double> peakAt(int bin, double level)
{
    QVector<double> magnitudes(2049, -100.0);
    magnitudes[bin] = level;
    return magnitudes;
}

quint32 pixel(const WaterfallWidget &w, int row, int column)
{
    return reinterpret_cast<const quint32 *>(w.image().constScanLine(row))[column];
}

} // namespace

class TestWaterfallWidget : public QObject
{
    Q_OBJECT

private slots:
    void configureBuildsTheRing_data();
    void configureBuildsTheRing();
    void rowsFromFreshAndStaleSpectra();
    void timerRunsOnlyWhenStarted();
    void plotAreaFollowsTheCanvas();
};

void TestWaterfallWidget::configureBuildsTheRing_data()
{
    QTest::addColumn<int>("seconds");
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("interval");
    QTest::newRow("defaults") << 30 << 8 << 240 << 125;
    QTest::newRow("fastest") << 3 << 15 << 45 << 67;
    QTest::newRow("slowest") << 180 << 1 << 180 << 1000;
}

void TestWaterfallWidget::configureBuildsTheRing()
{
    QFETCH(int, seconds);
    QFETCH(int, rate);
    QFETCH(int, rows);
    QFETCH(int, interval);
    WaterfallWidget w;
    w.configure(0.0, 10000.0, -90, -20, seconds, rate, 1);
    QCOMPARE(w.image().size(), QSize(768, rows));
    QCOMPARE(w.rowInterval(), interval);
    QCOMPARE(w.row(), 0);
    QCOMPARE(pixel(w, rows - 1, 767), w.lookup()[0]);
    QCOMPARE(w.lookup(), WaterfallMap::lookup(1));
    QVERIFY(w.minimumHeight() >= 145);
}

void TestWaterfallWidget::rowsFromFreshAndStaleSpectra()
{
    qint64 now = 5000;
    WaterfallWidget w;
    w.setClock([&now] { return now; });
    w.configure(0.0, 10000.0, -90, -20, 30, 8, 0);
    // Bin 427 lies in column 384 at 48 kHz (11.71875 Hz bins over 0-10 000 Hz).
    w.setSpectrum(peakAt(427, -20.0), 48000.0 / 4096.0);
    w.addRow();
    QCOMPARE(w.row(), 239); // the newest row moves one line up in the ring
    QCOMPARE(pixel(w, 239, 384), w.lookup()[255]);
    QCOMPARE(pixel(w, 239, 100), w.lookup()[0]);

    now += 1000; // exactly one second old: still fresh
    w.addRow();
    QCOMPARE(w.row(), 238);
    QCOMPARE(pixel(w, 238, 384), w.lookup()[255]);

    now += 1; // older than a second: blank rows scroll in
    w.addRow();
    QCOMPARE(pixel(w, 237, 384), w.lookup()[0]);
    QVERIFY(!w.isFresh());

    w.setSpectrum(peakAt(427, -55.0), 48000.0 / 4096.0);
    w.addRow();
    QCOMPARE(pixel(w, 236, 384), w.lookup()[128]);
    // Reconfiguring clears the picture and forgets the spectrum.
    w.configure(0.0, 10000.0, -90, -20, 30, 8, 0);
    w.addRow();
    QCOMPARE(pixel(w, 239, 384), w.lookup()[0]);
}

void TestWaterfallWidget::timerRunsOnlyWhenStarted()
{
    qint64 now = 0;
    WaterfallWidget w;
    w.setClock([&now] { return now; });
    w.configure(0.0, 10000.0, -90, -20, 3, 15, 0);
    QVERIFY(!w.isRunning());
    w.setSpectrum(peakAt(10, -20.0), 48000.0 / 4096.0);
    w.start();
    QVERIFY(w.isRunning());
    QTRY_VERIFY(w.row() != 0);
    w.stop();
    QVERIFY(!w.isRunning());
    QVERIFY(!w.isFresh()); // stopping forgets the spectrum
}

void TestWaterfallWidget::plotAreaFollowsTheCanvas()
{
    QWidget window;
    auto *canvas = new QWidget(&window);
    auto *w = new WaterfallWidget(&window);
    window.resize(800, 600);
    canvas->setGeometry(70, 10, 600, 200);
    w->setGeometry(0, 300, 800, 200);
    QCOMPARE(w->plotArea(), QRect(55, 28, 800 - 13 - 55 + 1, 200 - 54));
    w->setAlignmentTarget(canvas);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(w->plotArea(), QRect(70, 28, 600, 146));
    // A canvas further left than 55 px is not followed past the labels.
    canvas->setGeometry(20, 10, 900, 200);
    QCOMPARE(w->plotArea(), QRect(55, 28, 800 - 8 - 55 + 1, 146));
    const QImage shot = w->grab().toImage();
    QCOMPARE(shot.pixelColor(3, 3), QColor("#101922"));
}

QTEST_MAIN(TestWaterfallWidget)
#include "tst_waterfallwidget.moc"
