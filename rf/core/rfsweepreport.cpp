#include "rfsweepreport.h"

#include "htmlreport.h"
#include "receivermode.h"
#include "rfsweepresults.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFontDatabase>
#include <QPainter>
#include <QSaveFile>
#include <QTextStream>
#include <QUrl>

#include <algorithm>

namespace {

constexpr int plotLeft = 116;
constexpr int plotTop = 24;
constexpr int plotWidth = 1220;
constexpr int plotHeight = 475;
constexpr int plotBottom = plotTop + plotHeight;
constexpr double fullScale = 255.0;

QString text(const char *source)
{
    return QCoreApplication::translate("RfSweep", source);
}

// "Segoe UI" where the system has it; elsewhere the substitutes the program installed at start,
// or the default family, without the font matcher's warning about a missing family.
QFont chartFont()
{
    const QString wanted = QStringLiteral("Segoe UI");
    QFont font(wanted);
    if (QFont::substitutes(wanted).isEmpty() && !QFontDatabase().hasFamily(wanted))
        font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPointSize(16);
    return font;
}

void drawBackgrounds(QPainter &painter, double x0, double span)
{
    for (int band = 0; band < RfBands::count; ++band) {
        const RfBands::Band &row = RfBands::table()[static_cast<size_t>(band)];
        const double low = std::max<double>(row.startHz, x0);
        const double high = std::min<double>(row.endHz, x0 + span);
        if (high <= low)
            continue;
        QColor fill = RfBands::darkColor(band);
        fill.setAlpha(29);
        painter.fillRect(QRectF(plotLeft + (low - x0) * plotWidth / span, plotTop,
                                (high - low) * plotWidth / span, plotHeight),
                         fill);
    }
}

void drawGrid(QPainter &painter, double x0, double span)
{
    const QColor ink(QStringLiteral("#163047"));
    const QPen gridPen(QColor(QStringLiteral("#d3dee6")));
    for (int level = 0; level <= 250; level += 50) {
        const double y = plotTop + plotHeight - level * plotHeight / fullScale;
        painter.setPen(gridPen);
        painter.drawLine(QPointF(plotLeft, y), QPointF(plotLeft + plotWidth, y));
        painter.setPen(ink);
        painter.drawText(QRectF(52, y - 17, 56, 34), Qt::AlignRight | Qt::AlignVCenter,
                         QString::number(level));
    }
    const int decimals = span < 1000.0 ? 6 : 4;
    for (int i = 0; i <= 6; ++i) {
        const double x = plotLeft + i * plotWidth / 6.0;
        painter.setPen(gridPen);
        painter.drawLine(QPointF(x, plotTop), QPointF(x, plotBottom));
        painter.setPen(ink);
        painter.drawText(QRectF(x - 95, 507, 190, 33), Qt::AlignCenter,
                         QString::number((x0 + i * span / 6.0) / 1e6, 'f', decimals));
    }
    painter.setPen(ink);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(plotLeft, plotTop, plotWidth, plotHeight));
    painter.drawText(QRectF(plotLeft, 547, plotWidth, 34), Qt::AlignCenter,
                     text(QT_TRANSLATE_NOOP("RfSweep", "Frequency (MHz)")));
    painter.save();
    painter.translate(30, 261.5);
    painter.rotate(-90);
    painter.drawText(QRectF(-190, -16, 380, 32), Qt::AlignCenter,
                     text(QT_TRANSLATE_NOOP("RfSweep", "S-meter (0-255)")));
    painter.restore();
}

void drawSticks(QPainter &painter, const RfSweepResults &results, double x0, double span)
{
    for (int band = 0; band < RfBands::count; ++band) {
        painter.setPen(
            QPen(RfBands::darkColor(band), 2, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
        for (const RfBucket &bucket : results.buckets(band)) {
            if (bucket.level < 0)
                continue;
            const double x = plotLeft + (bucket.frequency - x0) * plotWidth / span;
            const double height = std::max(bucket.level * plotHeight / fullScale, 2.0);
            painter.drawLine(QPointF(x, plotBottom), QPointF(x, plotBottom - height));
        }
    }
}

QByteArray chartBase64(const RfSweepResults &results)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    RfSweepReport::chart(results).save(&buffer, "PNG");
    return png.toBase64();
}

QString escaped(const QString &value)
{
    return value.toHtmlEscaped().replace(QLatin1Char('\n'), QLatin1String("<br>"));
}

QString bandMark(int band)
{
    return QStringLiteral("<b style='color:%1'>%2</b>")
        .arg(QLatin1String(RfBands::table()[static_cast<size_t>(band)].darkColor),
             RfBands::name(band).toHtmlEscaped());
}

QString headerRow(const QStringList &headers)
{
    QStringList cells;
    for (const QString &header : headers)
        cells << escaped(header);
    return QStringLiteral("<table><thead><tr><th scope='col'>") +
           cells.join(QStringLiteral("</th><th scope='col'>")) +
           QStringLiteral("</th></tr></thead><tbody>");
}

void writeBody(QTextStream &out, const RfSweepResults &results, const QString &message,
               const QString &csvFileName)
{
    const RfSweepPlan &plan = results.plan();
    const QString parameters =
        text(QT_TRANSLATE_NOOP(
                 "RfSweep",
                 "Started %1 | Band %2 to %3 MHz | Step %4 kHz | Mode %5 | Settling time %6 ms"))
            .arg(plan.started.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")),
                 rfMegahertzText(plan.startHz), rfMegahertzText(plan.endHz),
                 QString::number(plan.stepHz / 1000.0, 'f', 1), plan.modeText)
            .arg(plan.settleMs);
    out << "<p>" << escaped(message) << "</p><p>" << escaped(parameters) << "</p><p>"
        << escaped(results.summary()) << "</p>\n";

    out << "<p class='legend'>";
    for (int band = 0; band < RfBands::count; ++band)
        out << "<span>" << bandMark(band) << ' ' << escaped(RfBands::rangeText(band)) << "</span>";
    out << "</p>";

    out << "<img alt='"
        << escaped(text(QT_TRANSLATE_NOOP("RfSweep", "Receiver S-meter vs. frequency")))
        << "' src='data:image/png;base64," << chartBase64(results) << "'>\n";

    out << "<p>"
        << escaped(text(QT_TRANSLATE_NOOP(
               "RfSweep", "The S-meter is a relative receiver reading on a 0-255 scale.")));
    if (plan.modeText == QLatin1String("AUTO")) {
        out << ' '
            << escaped(text(QT_TRANSLATE_NOOP(
                   "RfSweep", "In AUTO, the receiver can use different filters at different "
                              "frequencies.")));
    }
    if (results.decimated()) {
        out << ' '
            << escaped(text(QT_TRANSLATE_NOOP(
                   "RfSweep", "The graph shows the strongest sampled reading in each plotted "
                              "frequency group.")));
    }
    out << "</p><div class='rf-stats'><section><h2>"
        << escaped(text(QT_TRANSLATE_NOOP("RfSweep", "S-meter statistics"))) << "</h2><p>"
        << escaped(results.overall().text()) << "</p></section>";

    const QVector<RfTopEntry> &top = results.overall().top();
    if (!top.isEmpty()) {
        out << "<section><h2>"
            << escaped(text(QT_TRANSLATE_NOOP("RfSweep", "Strongest frequencies"))) << "</h2>"
            << headerRow({text(QT_TRANSLATE_NOOP("RfSweep", "Frequency (MHz)")),
                          text(QT_TRANSLATE_NOOP("RfSweep", "S-meter")),
                          text(QT_TRANSLATE_NOOP("RfSweep", "Band")),
                          text(QT_TRANSLATE_NOOP("RfSweep", "Mode"))});
        for (const RfTopEntry &entry : top) {
            const int band = RfBands::indexOf(entry.frequency);
            out << "<tr><td>" << rfMegahertzText(entry.frequency) << "</td><td>" << entry.level
                << "</td><td>" << (band == RfBands::none ? QString() : bandMark(band))
                << "</td><td>" << escaped(receiverModeName(entry.mode)) << "</td></tr>";
        }
        out << "</tbody></table></section>";
    }

    out << "</div><h2>" << escaped(text(QT_TRANSLATE_NOOP("RfSweep", "Statistics by band")))
        << "</h2>"
        << headerRow({text(QT_TRANSLATE_NOOP("RfSweep", "Band")),
                      text(QT_TRANSLATE_NOOP("RfSweep", "Coverage")),
                      text(QT_TRANSLATE_NOOP("RfSweep", "S-meter statistics")),
                      text(QT_TRANSLATE_NOOP("RfSweep", "Strongest frequency"))});
    const int firstBand = RfBands::indexOf(plan.startHz);
    for (int band = std::max(firstBand, 0); band < RfBands::count; ++band) {
        if (RfBands::table()[static_cast<size_t>(band)].startHz > plan.endHz)
            break;
        const RfStatistics &stats = results.band(band);
        out << "<tr><td>" << bandMark(band) << " &middot; " << escaped(RfBands::rangeText(band))
            << "</td><td>" << escaped(results.bandCoverage(band)) << "</td><td>"
            << escaped(stats.text()) << "</td><td>";
        if (!stats.top().isEmpty()) {
            out << escaped(text(QT_TRANSLATE_NOOP("RfSweep", "%1 MHz (S-meter %2)"))
                               .arg(rfMegahertzText(stats.top().first().frequency))
                               .arg(stats.top().first().level));
        }
        out << "</td></tr>";
    }
    out << "</tbody></table>\n";

    out << "<p class='actions'><a href='"
        << QString::fromLatin1(QUrl::toPercentEncoding(csvFileName)).toHtmlEscaped()
        << "' download>"
        << escaped(text(QT_TRANSLATE_NOOP("RfSweep", "Download all sampled frequencies (CSV)")))
        << "</a></p>\n</body></html>\n";
}

} // namespace

namespace RfSweepReport {

QImage chart(const RfSweepResults &results)
{
    QImage image(chartWidth, chartHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setFont(chartFont());
    const RfSweepPlan &plan = results.plan();
    const double x0 = plan.axisLowHz();
    const double span = plan.axisHighHz() - x0;
    drawBackgrounds(painter, x0, span);
    drawGrid(painter, x0, span);
    drawSticks(painter, results, x0, span);
    return image;
}

bool write(const QString &htmlPath, const RfSweepResults &results, const QString &message,
           const QString &csvFileName, QString *error)
{
    QSaveFile file(htmlPath);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = file.errorString();
        return false;
    }
    QTextStream out(&file);
    writeHtmlHeader(out, text(QT_TRANSLATE_NOOP("RfSweep", "Corvin Frequency Spectrum Analyzer")),
                    text(QT_TRANSLATE_NOOP("RfSweep", "Print")));
    writeBody(out, results, message, csvFileName);
    out.flush();
    if (out.status() != QTextStream::Ok) {
        *error = file.errorString();
        file.cancelWriting();
        file.commit();
        return false;
    }
    if (!file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace RfSweepReport
