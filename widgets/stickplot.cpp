#include "stickplot.h"

#include <QtGlobal>
#include <qwt_picker_machine.h>
#include <qwt_plot.h>
#include <qwt_plot_canvas.h>
#include <qwt_plot_curve.h>
#include <qwt_plot_grid.h>
#include <qwt_plot_layout.h>
#include <qwt_text.h>

namespace {
const QColor captionColor("#a9bdcc");
} // namespace

StickPlot::PlotPicker::PlotPicker(StickPlot *owner, QWidget *canvas)
    : QwtPlotPicker(QwtPlot::xBottom, QwtPlot::yLeft, canvas)
    , m_stickPlot(owner)
{
    setTrackerMode(QwtPicker::AlwaysOn);
    setRubberBand(QwtPicker::CrossRubberBand);
    setStateMachine(new QwtPickerTrackerMachine);
}

QwtText StickPlot::PlotPicker::trackerTextF(const QPointF &pos) const
{
    QwtText text(QStringLiteral("X: %1\nY: %2").arg(pos.x(), 0, 'f', 2).arg(pos.y(), 0, 'f', 2));
    text.setColor(Qt::white);
    text.setBackgroundBrush(QBrush(QColor(30, 30, 30, 200)));
    return text;
}

StickPlot::StickPlot(QwtPlot *plot, QObject *parent)
    : QObject(parent)
    , m_plot(plot)
    , m_curve(new QwtPlotCurve)
{
    plot->plotLayout()->setAlignCanvasToScales(true);
    if (auto *canvas = qobject_cast<QwtPlotCanvas *>(plot->canvas()))
        canvas->setFrameStyle(QFrame::NoFrame);
    plot->setCanvasBackground(QColor(20, 20, 20));

    m_grid = new QwtPlotGrid;
    m_grid->setPen(QColor(100, 100, 100), 1.0, Qt::DotLine);
    m_grid->attach(plot);

    m_curve->attach(plot);

    m_picker = new PlotPicker(this, plot->canvas());

    plot->setAxisScale(QwtPlot::yLeft, 0.0, 255.0);
    plot->setAxisTitle(QwtPlot::xBottom, QwtText());
    plot->setAxisTitle(QwtPlot::yLeft, QwtText());
}

StickPlot::~StickPlot()
{
    // A plot that went first has already deleted its attached items (the curve among them)
    // and, through its canvas, the picker.
    if (m_plot)
        delete m_curve;
    delete m_picker.data();
}

QwtPlot *StickPlot::plot() const
{
    return m_plot;
}

void StickPlot::setData(const double *x, const double *y, int count)
{
    if (count < 0 || (count > 0 && (!x || !y))) {
        qWarning("Invalid data pointers!");
        return;
    }
    m_x = QVector<double>(x, x + count);
    m_y = QVector<double>(y, y + count);
    refresh();
}

void StickPlot::setAxisTitles(const QString &xTitle, const QString &yTitle)
{
    if (!m_plot)
        return;
    QwtText xText(xTitle);
    xText.setColor(captionColor);
    QwtText yText(yTitle);
    yText.setColor(captionColor);
    m_plot->setAxisTitle(QwtPlot::xBottom, xText);
    m_plot->setAxisTitle(QwtPlot::yLeft, yText);
    m_plot->replot();
}

void StickPlot::refresh()
{
    if (!m_plot)
        return;
    m_curve->setSamples(m_x, m_y);
    if (m_lineMode) {
        m_curve->setStyle(QwtPlotCurve::Lines);
        m_curve->setPen(m_lineColor, 2.0);
    } else {
        m_curve->setStyle(QwtPlotCurve::Sticks);
        m_curve->setPen(m_stickColor, m_stickWidth);
    }
    m_curve->setSymbol(nullptr);
    m_plot->replot();
}
