#include "dspplot.h"

#include "plotexport.h"

#include <QContextMenuEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <qwt_plot_canvas.h>
#include <qwt_plot_curve.h>
#include <qwt_plot_grid.h>
#include <qwt_plot_panner.h>
#include <qwt_plot_zoneitem.h>
#include <qwt_plot_zoomer.h>
#include <qwt_scale_div.h>

// The zoomer of a DSP plot: returns to its base on right click even after the panner has
// moved the axes (Qwt's own zoom(0) does nothing while the stack is already at its base).
class DspZoomer : public QwtPlotZoomer
{
public:
    explicit DspZoomer(QWidget *canvas)
        : QwtPlotZoomer(canvas, false)
    {}

    void resetToBase()
    {
        if (zoomRectIndex() == 0)
            rescale();
        else
            zoom(0);
    }

protected:
    void widgetMouseReleaseEvent(QMouseEvent *event) override
    {
        if (mouseMatch(MouseSelect2, event))
            resetToBase();
        else
            QwtPlotZoomer::widgetMouseReleaseEvent(event);
    }
};

namespace {
const QColor canvasColour(QStringLiteral("#101B2B"));
const QColor gridColour(QStringLiteral("#40546A"));
} // namespace

DspPlot::DspPlot(const QString &objectName, const QString &xTitle, const QString &yTitle,
                 QWidget *parent)
    : QwtPlot(parent)
{
    setObjectName(objectName);
    setAutoReplot(false);
    setMinimumHeight(170);
    setCanvasBackground(canvasColour);
    setAxisTitle(xBottom, xTitle);
    setAxisTitle(yLeft, yTitle);
    canvas()->setFocusPolicy(Qt::StrongFocus);
    canvas()->setObjectName(objectName + QStringLiteral("Canvas"));

    m_zoomer = new DspZoomer(canvas());
    m_zoomer->setRubberBandPen(QPen(QColor(QStringLiteral("#74D9EC")), 1, Qt::DashLine));
    m_zoomer->setTrackerPen(QPen(QColor(QStringLiteral("#DDE8F0"))));
    m_zoomer->setTrackerMode(QwtPicker::AlwaysOn);
    m_zoomer->setMousePattern(QwtEventPattern::MouseSelect1, Qt::LeftButton);
    m_zoomer->setMousePattern(QwtEventPattern::MouseSelect2, Qt::RightButton);
    // The middle button belongs to the panner.
    m_zoomer->setMousePattern(QwtEventPattern::MouseSelect3, Qt::NoButton);
    m_zoomer->setMousePattern(QwtEventPattern::MouseSelect6, Qt::NoButton);
    auto *panner = new QwtPlotPanner(canvas());
    panner->setMouseButton(Qt::MiddleButton);
    // Installed after the zoomer's, so this filter sees the canvas's events first.
    canvas()->installEventFilter(this);
    clearItems();
}

void DspPlot::clearItems()
{
    detachItems(QwtPlotItem::Rtti_PlotItem, true);
    m_bandZone = nullptr;
    m_grid = new QwtPlotGrid;
    m_grid->setMajorPen(QPen(gridColour, 0, Qt::DotLine));
    m_grid->enableXMin(false);
    m_grid->enableYMin(false);
    m_grid->attach(this);
}

void DspPlot::addBandZone(Qt::Orientation orientation)
{
    m_bandZone = new QwtPlotZoneItem;
    m_bandZone->setOrientation(orientation);
    m_bandZone->setBrush(QColor(0, 220, 215, 45));
    m_bandZone->setPen(QPen(QColor(QStringLiteral("#72E7E2")), 1, Qt::DashLine));
    m_bandZone->setZ(20);
    m_bandZone->setVisible(false);
    m_bandZone->attach(this);
}

void DspPlot::addCurve(const QString &title, const QColor &colour, const QVector<double> &x,
                       const QVector<double> &y)
{
    auto *curve = new QwtPlotCurve(title);
    curve->setPen(colour, 1.5);
    curve->setRenderHint(QwtPlotItem::RenderAntialiased);
    curve->setSamples(x, y);
    curve->attach(this);
}

void DspPlot::setBandZone(double low, double high, bool visible)
{
    if (!m_bandZone)
        return;
    m_bandZone->setInterval(low, high);
    m_bandZone->setVisible(visible);
}

void DspPlot::setView(double xMin, double xMax, double yMin, double yMax)
{
    setAxisScale(xBottom, xMin, xMax);
    setAxisScale(yLeft, yMin, yMax);
}

void DspPlot::makeCurrentViewBase()
{
    replot();
    m_zoomer->setZoomBase(false);
}

QRectF DspPlot::currentView() const
{
    const QwtScaleDiv &x = axisScaleDiv(xBottom);
    const QwtScaleDiv &y = axisScaleDiv(yLeft);
    return QRectF(x.lowerBound(), y.lowerBound(), x.range(), y.range());
}

void DspPlot::resetZoom()
{
    m_zoomer->resetToBase();
}

void DspPlot::zoomTo(const QRectF &rect)
{
    m_zoomer->zoom(rect);
}

void DspPlot::setExportDefaults(const QString &folder, const QString &stem)
{
    m_exportFolder = folder;
    m_exportStem = stem;
}

QString DspPlot::defaultExportPath(const QString &suffix) const
{
    const QString stem = m_exportStem.isEmpty() ? QStringLiteral("dsp") : m_exportStem;
    const QString name = stem + QLatin1Char('_') + m_viewName + QLatin1Char('.') + suffix;
    return m_exportFolder.isEmpty() ? name : QDir(m_exportFolder).filePath(name);
}

bool DspPlot::exportTo(const QString &path)
{
    QString error;
    if (!exportPlot(this, path, &error)) {
        emit logMessage(
            tr("Could not export the plot to %1: %2").arg(QDir::toNativeSeparators(path), error));
        return false;
    }
    emit logMessage(tr("Plot exported: %1").arg(QDir::toNativeSeparators(path)));
    return true;
}

bool DspPlot::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != canvas())
        return QwtPlot::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (m_bandPickEnabled && mouse->button() == Qt::LeftButton &&
            mouse->modifiers().testFlag(Qt::ControlModifier)) {
            emit bandPicked(QPointF(invTransform(xBottom, mouse->pos().x()),
                                    invTransform(yLeft, mouse->pos().y())));
            return true;
        }
        break;
    }
    case QEvent::KeyPress:
        if (handleKey(static_cast<QKeyEvent *>(event)->key()))
            return true;
        break;
    case QEvent::ContextMenu:
        // A right click on the canvas resets the zoom; only the keyboard opens the menu here.
        if (static_cast<QContextMenuEvent *>(event)->reason() == QContextMenuEvent::Mouse)
            return true;
        break;
    default:
        break;
    }
    return QwtPlot::eventFilter(watched, event);
}

bool DspPlot::handleKey(int key)
{
    switch (key) {
    case Qt::Key_Left:
        panBy(-0.1, 0.0);
        return true;
    case Qt::Key_Right:
        panBy(0.1, 0.0);
        return true;
    case Qt::Key_Up:
        panBy(0.0, 0.1);
        return true;
    case Qt::Key_Down:
        panBy(0.0, -0.1);
        return true;
    case Qt::Key_Plus:
    case Qt::Key_Equal: {
        const QRectF view = currentView();
        zoomTo(
            QRectF(view.center() - QPointF(view.width() / 4, view.height() / 4), view.size() / 2));
        return true;
    }
    case Qt::Key_Minus:
        if (m_zoomer->zoomRectIndex() > 0)
            m_zoomer->zoom(-1);
        else
            resetZoom();
        return true;
    case Qt::Key_Home:
        resetZoom();
        return true;
    case Qt::Key_B:
        emit bandKeyPressed();
        return true;
    default:
        return false;
    }
}

void DspPlot::panBy(double xFraction, double yFraction)
{
    const QRectF view = currentView();
    setView(view.left() + xFraction * view.width(), view.right() + xFraction * view.width(),
            view.top() + yFraction * view.height(), view.bottom() + yFraction * view.height());
    replot();
}

void DspPlot::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu menu(this);
    menu.addAction(tr("Export PNG…"), this,
                   [this] { exportWithDialog(QStringLiteral("png"), tr("PNG image (*.png)")); });
    menu.addAction(tr("Export SVG…"), this,
                   [this] { exportWithDialog(QStringLiteral("svg"), tr("SVG drawing (*.svg)")); });
    menu.exec(event->globalPos());
}

void DspPlot::exportWithDialog(const QString &suffix, const QString &filter)
{
    QString path =
        QFileDialog::getSaveFileName(this, tr("Export plot"), defaultExportPath(suffix), filter);
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QLatin1Char('.') + suffix;
    exportTo(path);
}
