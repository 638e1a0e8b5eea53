#include "stickplot.h"

#include <QtTest>
#include <qwt_plot.h>
#include <qwt_plot_canvas.h>
#include <qwt_plot_curve.h>
#include <qwt_plot_grid.h>
#include <qwt_plot_layout.h>
#include <qwt_scale_div.h>
#include <qwt_symbol.h>

#include <memory>

class TestStickPlot : public QObject
{
    Q_OBJECT

private slots:
    void dressesThePlot();
    void setData_data();
    void setData();
    void setDataCopies();
    void curveStyle();
    void axisTitles();
    void trackerText();
    void plotDestroyedFirst();
    void stickPlotDestroyedFirst();
    void rendersSticksAndLine();
};

void TestStickPlot::dressesThePlot()
{
    QwtPlot plot;
    StickPlot sticks(&plot);
    QCOMPARE(sticks.plot(), &plot);
    for (int axis = 0; axis < QwtPlot::axisCnt; ++axis)
        QVERIFY(plot.plotLayout()->alignCanvasToScale(axis));
    auto *canvas = qobject_cast<QwtPlotCanvas *>(plot.canvas());
    QVERIFY(canvas);
    QCOMPARE(canvas->frameStyle(), int(QFrame::NoFrame));
    QCOMPARE(plot.canvasBackground().color(), QColor(20, 20, 20));

    const QwtPlotItemList items = plot.itemList();
    QCOMPARE(items.size(), 2);
    QVERIFY(items.contains(sticks.grid()));
    QVERIFY(items.contains(sticks.curve()));
    QCOMPARE(sticks.grid()->majorPen().color(), QColor(100, 100, 100));
    QCOMPARE(sticks.grid()->majorPen().style(), Qt::DotLine);
    QCOMPARE(sticks.grid()->majorPen().widthF(), 1.0);

    StickPlot::PlotPicker *picker = sticks.picker();
    QVERIFY(picker);
    QCOMPARE(picker->stickPlot(), &sticks);
    QCOMPARE(picker->canvas(), plot.canvas());
    QCOMPARE(picker->trackerMode(), QwtPicker::AlwaysOn);
    QCOMPARE(picker->rubberBand(), QwtPicker::CrossRubberBand);
    QCOMPARE(picker->xAxis(), int(QwtPlot::xBottom));
    QCOMPARE(picker->yAxis(), int(QwtPlot::yLeft));
    QVERIFY(picker->stateMachine());

    plot.updateAxes();
    const QwtScaleDiv &left = plot.axisScaleDiv(QwtPlot::yLeft);
    QCOMPARE(left.lowerBound(), 0.0);
    QCOMPARE(left.upperBound(), 255.0);
    QVERIFY(plot.axisTitle(QwtPlot::xBottom).isEmpty());
    QVERIFY(plot.axisTitle(QwtPlot::yLeft).isEmpty());
}

void TestStickPlot::setData_data()
{
    QTest::addColumn<bool>("withX");
    QTest::addColumn<bool>("withY");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("expectedSize");
    QTest::addColumn<bool>("rejected");
    QTest::newRow("three samples") << true << true << 3 << 3 << false;
    QTest::newRow("fewer than the arrays hold") << true << true << 1 << 1 << false;
    QTest::newRow("zero clears") << true << true << 0 << 0 << false;
    QTest::newRow("zero without arrays clears") << false << false << 0 << 0 << false;
    QTest::newRow("negative count") << true << true << -1 << 2 << true;
    QTest::newRow("missing x") << false << true << 3 << 2 << true;
    QTest::newRow("missing y") << true << false << 3 << 2 << true;
}

void TestStickPlot::setData()
{
    QFETCH(bool, withX);
    QFETCH(bool, withY);
    QFETCH(int, count);
    QFETCH(int, expectedSize);
    QFETCH(bool, rejected);

    QwtPlot plot;
    StickPlot sticks(&plot);
    const double firstX[] = {100.0, 200.0};
    const double firstY[] = {10.0, 20.0};
    sticks.setData(firstX, firstY, 2);
    QCOMPARE(sticks.curve()->dataSize(), size_t(2));

    const double x[] = {1.0, 2.0, 3.0};
    const double y[] = {-5.0, 0.0, 250.0};
    if (rejected)
        QTest::ignoreMessage(QtWarningMsg, "Invalid data pointers!");
    sticks.setData(withX ? x : nullptr, withY ? y : nullptr, count);

    QCOMPARE(sticks.curve()->dataSize(), size_t(expectedSize));
    QCOMPARE(sticks.xValues().size(), expectedSize);
    QCOMPARE(sticks.yValues().size(), expectedSize);
    for (int i = 0; i < expectedSize; ++i) {
        const QPointF sample = sticks.curve()->sample(size_t(i));
        QCOMPARE(sample, rejected ? QPointF(firstX[i], firstY[i]) : QPointF(x[i], y[i]));
    }
}

void TestStickPlot::setDataCopies()
{
    QwtPlot plot;
    StickPlot sticks(&plot);
    std::vector<double> x{1.0, 2.0};
    std::vector<double> y{3.0, 4.0};
    sticks.setData(x.data(), y.data(), 2);
    x.assign({9.0, 9.0});
    y.assign({9.0, 9.0});
    QCOMPARE(sticks.curve()->sample(1), QPointF(2.0, 4.0));
    QCOMPARE(sticks.yValues(), (QVector<double>{3.0, 4.0}));
}

void TestStickPlot::curveStyle()
{
    QwtPlot plot;
    StickPlot sticks(&plot);
    QwtPlotCurve *curve = sticks.curve();
    sticks.refresh();
    QCOMPARE(curve->style(), QwtPlotCurve::Sticks);
    QCOMPARE(curve->pen().color(), QColor(Qt::yellow));
    QCOMPARE(curve->pen().widthF(), 2.0);
    QVERIFY(!curve->symbol());

    sticks.setStickColor(QColor("#ff8800"));
    sticks.setStickWidth(5);
    sticks.refresh();
    QCOMPARE(curve->pen().color(), QColor("#ff8800"));
    QCOMPARE(curve->pen().widthF(), 5.0);

    sticks.setLineMode(true);
    sticks.refresh();
    QCOMPARE(curve->style(), QwtPlotCurve::Lines);
    QCOMPARE(curve->pen().color(), QColor(Qt::blue));
    QCOMPARE(curve->pen().widthF(), 2.0);

    sticks.setLineColor(QColor("#66ddcf"));
    sticks.refresh();
    QCOMPARE(curve->pen().color(), QColor("#66ddcf"));
    QCOMPARE(curve->pen().widthF(), 2.0);
    QVERIFY(!curve->symbol());
}

void TestStickPlot::axisTitles()
{
    QwtPlot plot;
    StickPlot sticks(&plot);
    sticks.setAxisTitles(QStringLiteral("Frequency (Hz)"), QStringLiteral("Amplitude (dBFS)"));
    QCOMPARE(plot.axisTitle(QwtPlot::xBottom).text(), QStringLiteral("Frequency (Hz)"));
    QCOMPARE(plot.axisTitle(QwtPlot::yLeft).text(), QStringLiteral("Amplitude (dBFS)"));
    QCOMPARE(plot.axisTitle(QwtPlot::xBottom).color(), QColor("#a9bdcc"));
    QCOMPARE(plot.axisTitle(QwtPlot::yLeft).color(), QColor("#a9bdcc"));
}

void TestStickPlot::trackerText()
{
    QwtPlot plot;
    StickPlot sticks(&plot);
    const QwtText text = sticks.picker()->trackerTextF(QPointF(1234.5678, -4.5678));
    QCOMPARE(text.text(), QStringLiteral("X: 1234.57\nY: -4.57"));
    QCOMPARE(text.color(), QColor(Qt::white));
    QCOMPARE(text.backgroundBrush().color(), QColor(30, 30, 30, 200));
    QCOMPARE(text.backgroundBrush().style(), Qt::SolidPattern);
    // Fixed notation, also for large and tiny values.
    QCOMPARE(sticks.picker()->trackerTextF(QPointF(1e7, 0.001)).text(),
             QStringLiteral("X: 10000000.00\nY: 0.00"));
}

void TestStickPlot::plotDestroyedFirst()
{
    auto plot = std::make_unique<QwtPlot>();
    auto sticks = std::make_unique<StickPlot>(plot.get());
    const double x[] = {1.0};
    const double y[] = {2.0};
    sticks->setData(x, y, 1);
    plot.reset();
    QVERIFY(!sticks->plot());
    QVERIFY(!sticks->picker());
    // Still usable without its plot; nothing is drawn.
    sticks->setData(x, y, 1);
    sticks->setAxisTitles(QStringLiteral("x"), QStringLiteral("y"));
    sticks.reset();
}

void TestStickPlot::stickPlotDestroyedFirst()
{
    QwtPlot plot;
    QPointer<StickPlot::PlotPicker> picker;
    QwtPlotGrid *grid = nullptr;
    {
        StickPlot sticks(&plot);
        picker = sticks.picker();
        grid = sticks.grid();
        QVERIFY(picker);
    }
    // The curve and the picker went with the stick plot; the grid stays with the plot.
    QVERIFY(!picker);
    QCOMPARE(plot.itemList(), QwtPlotItemList{grid});
    plot.replot();
}

void TestStickPlot::rendersSticksAndLine()
{
    QwtPlot plot;
    plot.resize(400, 300);
    StickPlot sticks(&plot);
    plot.setAxisScale(QwtPlot::xBottom, 0.0, 10.0);
    QVector<double> x, y;
    for (int i = 1; i < 10; ++i) {
        x << i;
        y << 25.0 * i;
    }
    sticks.setData(x.constData(), y.constData(), x.size());
    plot.show();
    QVERIFY(QTest::qWaitForWindowExposed(&plot));

    auto count = [&plot](const QColor &colour) {
        const QImage image = plot.canvas()->grab().toImage();
        int n = 0;
        for (int yy = 0; yy < image.height(); ++yy)
            for (int xx = 0; xx < image.width(); ++xx)
                n += image.pixelColor(xx, yy) == colour;
        return n;
    };
    const QImage image = plot.canvas()->grab().toImage();
    QCOMPARE(image.pixelColor(2, 2), QColor(20, 20, 20));
    // Nine sticks of 2 px rising from 0 to 25 ... 225 on a 0-255 scale.
    const int stickPixels = count(Qt::yellow);
    QVERIFY2(stickPixels > 9 * 2 * 40, qPrintable(QString::number(stickPixels)));

    sticks.setLineMode(true);
    sticks.setLineColor(QColor(255, 0, 255));
    sticks.refresh();
    QCOMPARE(count(Qt::yellow), 0);
    QVERIFY(count(QColor(255, 0, 255)) > 100);
}

QTEST_MAIN(TestStickPlot)
#include "tst_stickplot.moc"
