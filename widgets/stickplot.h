#pragma once

#include <QColor>
#include <QObject>
#include <QPointer>
#include <QVector>
#include <qwt_plot_picker.h>

class QwtPlot;
class QwtPlotCurve;
class QwtPlotGrid;

// Dresses a Qwt plot with a dark canvas, a dotted grid, one data curve (sticks or a line)
// and a cross-hair picker that reads out the pointer position. The plot widget is not owned;
// the curve and the picker are, and go with this object (or with the plot, whichever is
// destroyed first). GUI thread only.
class StickPlot : public QObject
{
    Q_OBJECT

public:
    // Tracker of the cross-hair picker: shows "X: x\nY: y" with two decimals.
    class PlotPicker : public QwtPlotPicker
    {
    public:
        PlotPicker(StickPlot *owner, QWidget *canvas);
        QwtText trackerTextF(const QPointF &pos) const override;
        StickPlot *stickPlot() const { return m_stickPlot; }

    private:
        StickPlot *m_stickPlot;
    };

    explicit StickPlot(QwtPlot *plot, QObject *parent = nullptr);
    ~StickPlot() override;

    // Replaces the samples with copies of count values from x and y, then refreshes.
    // A negative count, or a positive count with a null array, is rejected with the warning
    // "Invalid data pointers!" and changes nothing. Count 0 clears the curve.
    void setData(const double *x, const double *y, int count);
    // Bottom and left axis titles, drawn in the caption colour; replots.
    void setAxisTitles(const QString &xTitle, const QString &yTitle);
    // Pushes the samples and the current style to the curve and replots.
    void refresh();

    bool lineMode() const { return m_lineMode; }
    void setLineMode(bool lineMode) { m_lineMode = lineMode; }
    QColor lineColor() const { return m_lineColor; }
    void setLineColor(const QColor &color) { m_lineColor = color; }
    QColor stickColor() const { return m_stickColor; }
    void setStickColor(const QColor &color) { m_stickColor = color; }
    int stickWidth() const { return m_stickWidth; }
    void setStickWidth(int width) { m_stickWidth = width; }

    QwtPlot *plot() const;
    QwtPlotCurve *curve() const { return m_curve; }
    // The grid belongs to the plot once attached (the plot deletes its items).
    QwtPlotGrid *grid() const { return m_grid; }
    PlotPicker *picker() const { return m_picker; }
    const QVector<double> &xValues() const { return m_x; }
    const QVector<double> &yValues() const { return m_y; }

private:
    QPointer<QwtPlot> m_plot;
    QwtPlotCurve *m_curve = nullptr;
    QPointer<PlotPicker> m_picker;
    bool m_lineMode = false;
    QColor m_lineColor = Qt::blue;
    QColor m_stickColor = Qt::yellow;
    int m_stickWidth = 2;
    QVector<double> m_x;
    QVector<double> m_y;
    QwtPlotGrid *m_grid = nullptr;
};
