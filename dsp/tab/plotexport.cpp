#include "plotexport.h"

#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <QSaveFile>
#include <QSvgGenerator>
#include <qwt_plot.h>
#include <qwt_plot_renderer.h>

bool exportPlot(QwtPlot *plot, const QString &path, QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = file.errorString();
        return false;
    }
    const QSize size = plot->size().expandedTo(QSize(320, 200));
    const QwtPlotRenderer renderer;
    bool written = false;
    if (path.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive)) {
        QSvgGenerator svg;
        svg.setOutputDevice(&file);
        svg.setSize(size);
        svg.setViewBox(QRect(QPoint(0, 0), size));
        svg.setTitle(plot->objectName());
        QPainter painter;
        if (painter.begin(&svg)) {
            renderer.render(plot, &painter, QRectF(QPointF(0, 0), size));
            written = painter.end();
        }
    } else {
        QImage image(size, QImage::Format_ARGB32);
        image.fill(plot->palette().window().color());
        renderer.renderTo(plot, image);
        written = image.save(&file, "PNG");
    }
    if (!written) {
        file.cancelWriting();
        *error = QCoreApplication::translate("PlotExport", "the image could not be written");
        return false;
    }
    if (!file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}
