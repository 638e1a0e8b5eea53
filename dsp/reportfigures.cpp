#include "reportfigures.h"

#include "analysismath.h"

#include <QImage>
#include <QImageWriter>
#include <QSaveFile>

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace NativeWav {

namespace {

const QString svgOpen = QStringLiteral("<svg xmlns='http://www.w3.org/2000/svg' ");

struct ColourStop
{
    double t;
    double red;
    double green;
    double blue;
};

constexpr ColourStop colourStops[] = {
    {0.00, 8, 10, 27},   {0.22, 56, 15, 98},   {0.45, 135, 37, 108},
    {0.69, 225, 83, 53}, {0.86, 248, 166, 45}, {1.00, 252, 246, 191},
};

QRgb spectrogramColour(double t)
{
    std::size_t i = 1;
    while (i + 1 < std::size(colourStops) && t > colourStops[i].t)
        ++i;
    const ColourStop &a = colourStops[i - 1];
    const ColourStop &b = colourStops[i];
    const double f = (t - a.t) / (b.t - a.t);
    const auto channel = [f](double from, double to) {
        return static_cast<int>(from + (to - from) * f);
    };
    return qRgb(channel(a.red, b.red), channel(a.green, b.green), channel(a.blue, b.blue));
}

} // namespace

double spectrogramReferenceLevel(const std::vector<float> &cells, double whenEmpty)
{
    std::vector<float> strong;
    for (float v : cells) {
        if (std::isfinite(v) && v > -145.0f)
            strong.push_back(v);
    }
    if (strong.empty())
        return whenEmpty;
    const auto rank =
        static_cast<std::size_t>(std::floor(static_cast<double>(strong.size() - 1) * 0.998));
    std::nth_element(strong.begin(), strong.begin() + static_cast<std::ptrdiff_t>(rank),
                     strong.end());
    return std::max(static_cast<double>(strong[rank]), -110.0);
}

QString fixedNumber(double x, int decimals)
{
    return QString::number(std::isfinite(x) ? x : 0.0, 'f', decimals);
}

QString htmlEscaped(const QString &text)
{
    QString out = text.toHtmlEscaped();
    out.replace(QLatin1Char('\''), QStringLiteral("&#39;"));
    return out;
}

QString svgLinePlot(const std::vector<double> &x, const std::vector<double> &y,
                    const QString &title, const QString &xLabel, const QString &yLabel, double xMin,
                    double xMax, double yMin, double yMax)
{
    if (yMin >= yMax)
        yMax = yMin + 1.0;
    if (xMin >= xMax)
        xMax = xMin + 1.0;
    const double xRange = xMax - xMin;
    const double yRange = yMax - yMin;
    QString svg = svgOpen +
                  QStringLiteral("viewBox='0 0 1100 260' role='img' aria-label='%1'>")
                      .arg(htmlEscaped(title)) +
                  QStringLiteral("<rect width='1100' height='260' fill='#fff'/>"
                                 "<g stroke='#dce7ed' stroke-width='1'>");
    for (int i = 0; i <= 5; ++i) {
        svg += QStringLiteral("<line x1='%1' y1='%2' x2='%3' y2='%2'/>"
                              "<line x1='%4' y1='%5' x2='%4' y2='%6'/>")
                   .arg(fixedNumber(70.0, 1), fixedNumber(32.0 + i * 188.0 / 5.0, 1),
                        fixedNumber(1070.0, 1), fixedNumber(70.0 + i * 1000.0 / 5.0, 1),
                        fixedNumber(32.0, 1), fixedNumber(220.0, 1));
    }
    svg += QStringLiteral("</g><g font-family='Arial' font-size='12' fill='#294454'>");
    const int xDecimals = xRange > 1000.0 ? 0 : 1;
    for (int i = 0; i <= 5; ++i) {
        svg += QStringLiteral("<text x='%1' y='240' text-anchor='middle'>%2</text>"
                              "<text x='59' y='%3' text-anchor='end'>%4</text>")
                   .arg(fixedNumber(70.0 + i * 1000.0 / 5.0, 1),
                        fixedNumber(xMin + i * xRange / 5.0, xDecimals),
                        fixedNumber(32.0 + i * 188.0 / 5.0 + 4.0, 1),
                        fixedNumber(yMax - i * yRange / 5.0, 1));
    }
    svg += QStringLiteral("<text x='550' y='257' text-anchor='middle'>%1</text>"
                          "<text x='75' y='19'>%2 — %3</text>")
               .arg(htmlEscaped(xLabel), htmlEscaped(title), htmlEscaped(yLabel));
    svg += QStringLiteral("</g><polyline stroke='#146a7a' fill='none' stroke-width='1.3' "
                          "points='");
    const std::size_t n = std::min(x.size(), y.size());
    const std::size_t step = std::max<std::size_t>(n / 2500, 1);
    for (std::size_t i = 0; i < n; i += step) {
        if (!std::isfinite(x[i]) || !std::isfinite(y[i]))
            continue;
        const double px = 70.0 + 1000.0 * std::clamp((x[i] - xMin) / xRange, 0.0, 1.0);
        const double py = 32.0 + 188.0 * (1.0 - std::clamp((y[i] - yMin) / yRange, 0.0, 1.0));
        svg += fixedNumber(px, 2) + QLatin1Char(',') + fixedNumber(py, 2) + QLatin1Char(' ');
    }
    svg += QStringLiteral("'/></svg>");
    return svg;
}

QString svgEventTimeline(const Result &result)
{
    QString svg;
    svgEventTimeline(result, [&svg](const QString &piece) { svg += piece; });
    return svg;
}

void svgEventTimeline(const Result &result, const std::function<void(const QString &)> &sink)
{
    const int trainRows = static_cast<int>(result.trains.size());
    const bool hasIsolated = !result.events.empty();
    const int height = (trainRows + (hasIsolated ? 1 : 0)) * 50 + 70;
    QString pending = svgOpen + QStringLiteral("viewBox='0 0 1100 %1'>").arg(height) +
                      QStringLiteral("<rect width='1100' height='%1' fill='white'/>").arg(height);
    for (int i = 0; i <= 10; ++i) {
        pending += QStringLiteral("<line x1='%1' y1='15' x2='%1' y2='%2' stroke='#e4ecef'/>"
                                  "<text x='%1' y='%3' font-size='11' fill='#4d6573' "
                                  "text-anchor='middle'>%4 s</text>")
                       .arg(fixedNumber(105.0 + i * 970.0 / 10.0, 2), QString::number(height - 27),
                            QString::number(height - 7),
                            fixedNumber(i * result.durationSeconds / 10.0, 1));
    }
    const double timeScale = 970.0 / std::max(result.durationSeconds, 0.001);
    const auto addRow = [&](int row, const QString &label, const QString &colour,
                            const std::vector<PulseEvent> &events) {
        const double y = row * 50.0 + 32.0;
        pending += QStringLiteral("<text x='95' y='%1' fill='#163647' font-family='Arial' "
                                  "font-size='12' text-anchor='end'>%2</text>")
                       .arg(fixedNumber(y + 4.0, 1), htmlEscaped(label));
        pending += QStringLiteral("<line x1='105' y1='%1' x2='1075' y2='%1' stroke='#edf1f4'/>")
                       .arg(fixedNumber(y, 1));
        sink(pending);
        pending.clear();
        for (const PulseEvent &event : events) {
            sink(QStringLiteral("<line x1='%1' y1='%2' x2='%1' y2='%3' stroke='%4' "
                                "stroke-width='1.3'/>")
                     .arg(fixedNumber(105.0 + event.timeSeconds * timeScale, 2),
                          fixedNumber(y - 11.0, 1), fixedNumber(y + 11.0, 1), colour));
        }
    };
    for (int r = 0; r < trainRows; ++r) {
        addRow(r, QStringLiteral("Treno %1").arg(r + 1), QStringLiteral("#197b87"),
               result.trains[static_cast<std::size_t>(r)].events);
    }
    if (hasIsolated)
        addRow(trainRows, QStringLiteral("Isolati"), QStringLiteral("#b45631"), result.events);
    sink(pending + QStringLiteral("</svg>"));
}

void writeSpectrogramPng(const Result &result, const QString &path, const std::atomic<bool> &cancel)
{
    const std::size_t rows = result.displayFrequencies.size();
    const auto columns = static_cast<std::size_t>(std::max(result.timeColumns, 0));
    if (rows == 0 || columns == 0)
        throw std::runtime_error("Empty spectrogram");
    const double top = spectrogramReferenceLevel(result.spectrogramDb, -80.0);
    QImage image(static_cast<int>(columns), static_cast<int>(rows), QImage::Format_RGB32);
    if (image.isNull())
        throw std::runtime_error("Spectrogram image allocation failed");
    for (std::size_t line = 0; line < rows; ++line) {
        if (line % 64 == 0)
            throwIfCancelled(cancel);
        const std::size_t r = rows - 1 - line;
        auto *pixels = reinterpret_cast<QRgb *>(image.scanLine(static_cast<int>(line)));
        for (std::size_t c = 0; c < columns; ++c) {
            const std::size_t index = r * columns + c;
            const double v = index < result.spectrogramDb.size()
                                 ? static_cast<double>(result.spectrogramDb[index])
                                 : -160.0;
            const double t =
                std::isfinite(v) ? std::clamp((v - (top - 56.0)) / 56.0, 0.0, 1.0) : 0.0;
            pixels[c] = spectrogramColour(t);
        }
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw std::runtime_error("Could not save spectrogram PNG");
    QImageWriter writer(&file, "png");
    if (!writer.write(image) || !file.commit())
        throw std::runtime_error("Could not save spectrogram PNG");
}

} // namespace NativeWav
