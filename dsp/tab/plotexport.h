#pragma once

#include <QString>

class QwtPlot;

// Saves a plot as it is on screen (current zoom, axis titles) as a PNG image or an SVG drawing,
// chosen by the file's suffix (".svg" gives SVG, anything else PNG). The file is replaced only
// when complete. On failure returns false and sets *error to a translated reason.
// GUI thread only.
bool exportPlot(QwtPlot *plot, const QString &path, QString *error);
