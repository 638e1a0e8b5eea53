#include "favoritesreport.h"

#include "favoriteattributes.h"
#include "favoritecolumns.h"
#include "htmlreport.h"
#include "rfbands.h"

#include <QCoreApplication>
#include <QDir>
#include <QSaveFile>
#include <QTextStream>

#include <array>

namespace {

QString text(const char *source)
{
    return QCoreApplication::translate("FavoritesReport", source);
}

QString bandColor(int band)
{
    return QLatin1String(RfBands::table()[static_cast<size_t>(band)].darkColor);
}

QString bandMark(int band)
{
    return QStringLiteral("<b style='color:%1'>%2</b>").arg(bandColor(band), RfBands::name(band));
}

void writeTable(QTextStream &out, const FavoritesReportTable &table)
{
    std::array<int, RfBands::count> perBand{};
    for (const FavoritesReportTable::Row &row : table.rows) {
        if (row.band >= 0 && row.band < RfBands::count)
            ++perBand[static_cast<size_t>(row.band)];
    }
    out << "<p class='legend'>";
    for (int band = 0; band < RfBands::count; ++band) {
        if (perBand[static_cast<size_t>(band)] > 0)
            out << "<span>" << bandMark(band) << " &middot; " << perBand[static_cast<size_t>(band)]
                << "</span>";
    }
    out << "</p>\n<table><thead><tr>";
    for (const QString &header : table.headers)
        out << "<th scope='col'>" << header.toHtmlEscaped() << "</th>";
    out << "</tr></thead><tbody>\n";

    for (const FavoritesReportTable::Row &row : table.rows) {
        const bool banded = row.band >= 0 && row.band < RfBands::count;
        out << "<tr>";
        for (int column = 0; column < table.headers.size(); ++column) {
            if (column == FavoriteColumns::Band && banded) {
                out << "<td>" << bandMark(row.band) << "</td>";
                continue;
            }
            out << "<td";
            if (column == FavoriteColumns::Notes)
                out << " class='favorite-notes'";
            else if (column == FavoriteColumns::Frequency && banded)
                out << " style='color:" << bandColor(row.band) << "'";
            out << '>' << row.cells.value(column).toHtmlEscaped() << "</td>";
        }
        out << "</tr>\n";
    }
    out << "</tbody></table>\n";
}

} // namespace

FavoritesReportTable FavoritesReportTable::of(const QVector<Favorite> &favorites)
{
    FavoritesReportTable table;
    table.headers = FavoriteColumns::headers();
    table.rows.reserve(favorites.size());
    for (const Favorite &favorite : favorites) {
        table.rows.append({FavoriteColumns::cellTexts(favorite),
                           FavoriteAttributes::bandIndex(favorite.frequency, favorite.attributes)});
    }
    return table;
}

namespace FavoritesReport {

QString fileName(const QDateTime &localTime, qint64 processId)
{
    return QStringLiteral("favorites_%1_%2.html")
        .arg(localTime.toString(QStringLiteral("yyyyMMdd_HHmmss_zzz")))
        .arg(processId);
}

QString write(const QString &folder, const FavoritesReportTable &table, const QDateTime &localTime,
              QString *logMessage)
{
    const QString path =
        QDir(folder).filePath(fileName(localTime, QCoreApplication::applicationPid()));
    QSaveFile file(path);
    if (!QDir().mkpath(folder) || !file.open(QIODevice::WriteOnly)) {
        *logMessage =
            text(QT_TRANSLATE_NOOP("FavoritesReport", "Could not create Favorites report: %1"))
                .arg(QDir::toNativeSeparators(path));
        return QString();
    }
    QTextStream out(&file);
    writeHtmlHeader(out, text(QT_TRANSLATE_NOOP("FavoritesReport", "Corvin Favorites")),
                    text(QT_TRANSLATE_NOOP("FavoritesReport", "Print")));
    out << "<p>"
        << text(QT_TRANSLATE_NOOP("FavoritesReport", "Generated %1 | %2 favorites"))
               .arg(localTime.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")))
               .arg(table.rows.size())
               .toHtmlEscaped()
        << "</p>\n";
    if (!table.rows.isEmpty())
        writeTable(out, table);
    out << "</body></html>\n";
    out.flush();
    if (out.status() != QTextStream::Ok || !file.commit()) {
        *logMessage =
            text(QT_TRANSLATE_NOOP("FavoritesReport", "Could not write the Favorites report: %1"))
                .arg(file.errorString());
        return QString();
    }
    *logMessage = text(QT_TRANSLATE_NOOP("FavoritesReport", "Favorites report saved: %1"))
                      .arg(QDir::toNativeSeparators(path));
    return path;
}

} // namespace FavoritesReport
