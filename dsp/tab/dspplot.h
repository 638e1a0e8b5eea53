#pragma once

#include <QRectF>
#include <QVector>
#include <qwt_plot.h>

class DspZoomer;
class QwtPlotGrid;
class QwtPlotZoneItem;

// One interactive plot of the DSP tab: dark canvas, grid, axis titles, a zoomer (left drag
// zooms a rectangle, right click returns to the base zoom, position tracker always on) and a
// panner on the middle button. The canvas takes focus: arrows pan, + and - zoom, Home resets,
// B asks for the band at the event marker. Ctrl + left click reports a band pick instead of
// zooming while picking is enabled. The context menu (right click outside the canvas, or the
// menu key) exports the plot as PNG or SVG. Replots only when asked. GUI thread only.
class DspPlot : public QwtPlot
{
    Q_OBJECT

public:
    DspPlot(const QString &objectName, const QString &xTitle, const QString &yTitle,
            QWidget *parent = nullptr);

    // Removes every item and puts back the grid.
    void clearItems();
    // Sets both axes; takes effect at the next replot.
    void setView(double xMin, double xMax, double yMin, double yMax);
    // Replots and makes the current view the zoomer's base.
    void makeCurrentViewBase();
    QRectF currentView() const;

    // Back to the base view (also after panning), and replots.
    void resetZoom();
    // Zooms to a rectangle in plot coordinates (x, y, width, height), pushing it on the zoom
    // stack.
    void zoomTo(const QRectF &rect);

    void setBandPickEnabled(bool enabled) { m_bandPickEnabled = enabled; }

    // The band highlight, when the plot has one (added by addBandZone after clearItems): the
    // interval low ... high of the frequency axis, shown or hidden. Takes effect at the next
    // replot.
    void setBandZone(double low, double high, bool visible);

    // Where the export dialog starts: folder/stem_<view>.<suffix>.
    void setExportDefaults(const QString &folder, const QString &stem);
    // The name of the plot in export file names ("spectrogram", "spectrum", "level").
    void setExportViewName(const QString &name) { m_viewName = name; }
    QString defaultExportPath(const QString &suffix) const;
    // Writes the plot to path (PNG, or SVG for ".svg"); logs the outcome. True on success.
    bool exportTo(const QString &path);

signals:
    // Ctrl + left click on the canvas, at plot coordinates (x, y).
    void bandPicked(const QPointF &point);
    // The B key on the canvas.
    void bandKeyPressed();
    // A line for the program's log.
    void logMessage(const QString &message);

protected:
    // Adds the band highlight: a horizontal zone spans a y interval, a vertical one an x
    // interval.
    void addBandZone(Qt::Orientation orientation);
    // Adds an antialiased 1.5 px curve through the points (x[i], y[i]).
    void addCurve(const QString &title, const QColor &colour, const QVector<double> &x,
                  const QVector<double> &y);

    bool eventFilter(QObject *watched, QEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    bool handleKey(int key);
    void panBy(double xFraction, double yFraction);
    void exportWithDialog(const QString &suffix, const QString &filter);

    DspZoomer *m_zoomer;
    QwtPlotGrid *m_grid = nullptr;
    QwtPlotZoneItem *m_bandZone = nullptr;
    bool m_bandPickEnabled = false;
    QString m_exportFolder;
    QString m_exportStem;
    QString m_viewName;
};
