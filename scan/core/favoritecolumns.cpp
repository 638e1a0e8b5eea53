#include "favoritecolumns.h"

#include "favoriteattributes.h"
#include "rfbands.h"

#include <QCoreApplication>

#include <array>
#include <cmath>

namespace FavoriteColumns {

QStringList headers()
{
    static const std::array<const char *, Count> texts = {
        QT_TRANSLATE_NOOP("FavoritesTable", "MHz"),
        QT_TRANSLATE_NOOP("FavoritesTable", "Name"),
        QT_TRANSLATE_NOOP("FavoritesTable", "Mode"),
        QT_TRANSLATE_NOOP("FavoritesTable", "S-meter"),
        QT_TRANSLATE_NOOP("FavoritesTable", "RMS (dBFS)"),
        QT_TRANSLATE_NOOP("FavoritesTable", "Peak (dBFS)"),
        QT_TRANSLATE_NOOP("FavoritesTable", "Quality"),
        QT_TRANSLATE_NOOP("FavoritesTable", "Classification"),
        QT_TRANSLATE_NOOP("FavoritesTable", "Discovered"),
        QT_TRANSLATE_NOOP("FavoritesTable", "Band"),
        QT_TRANSLATE_NOOP("FavoritesTable", "Notes")};
    QStringList result;
    for (const char *text : texts)
        result << QCoreApplication::translate("FavoritesTable", text);
    return result;
}

int initialWidth(int column)
{
    static const std::array<int, Count> widths = {96, 180, 70, 74, 94, 94, 72, 145, 154, 66, 220};
    return column >= 0 && column < Count ? widths[static_cast<size_t>(column)] : 0;
}

QString frequencyText(qint64 hertz)
{
    return QString::number(hertz / 1e6, 'f', 6);
}

bool hertzFromText(const QString &megahertz, qint64 *hertz)
{
    bool ok = false;
    const double value = megahertz.toDouble(&ok) * 1e6;
    // Beyond about 9.2 x 10^18 Hz the value has no 64-bit integer; infinity and NaN none at all.
    if (!ok || !std::isfinite(value) || std::fabs(value) >= 9.0e18)
        return false;
    *hertz = std::llround(value);
    return true;
}

QVariant numberValue(const QString &text)
{
    bool ok = false;
    const double value = text.toDouble(&ok);
    return ok ? QVariant(value) : QVariant();
}

QString discoveredText(const QString &utc)
{
    const QDateTime time = FavoriteAttributes::parseUtc(utc);
    return time.isValid() ? time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
                          : QString();
}

QString discoveredToolTip(const QString &utc)
{
    const QDateTime time = FavoriteAttributes::parseUtc(utc);
    return time.isValid() ? FavoriteAttributes::utcText(time) : QString();
}

QString classificationText(const QString &label)
{
    return QCoreApplication::translate("SignalClassification", label.toUtf8().constData());
}

QString notesToolTip(const QString &notes)
{
    QString tip = notes.left(500).toHtmlEscaped();
    tip.replace(QStringLiteral("\r\n"), QStringLiteral("<br>"));
    tip.replace(QLatin1Char('\n'), QStringLiteral("<br>"));
    return tip;
}

QStringList cellTexts(const Favorite &favorite)
{
    namespace A = FavoriteAttributes;
    const QJsonObject &attributes = favorite.attributes;
    const auto value = [&attributes](const char *key) {
        return attributes.value(QLatin1String(key)).toString();
    };
    QStringList cells{frequencyText(favorite.frequency), favorite.name, favorite.mode};
    for (const char *key : {A::sMeter, A::dbfsRms, A::dbfsPeak, A::quality})
        cells << numberValue(value(key)).toString();
    cells << classificationText(value(A::classification)) << discoveredText(value(A::discoveredUtc))
          << RfBands::name(A::bandIndex(favorite.frequency, attributes)) << value(A::notes);
    return cells;
}

} // namespace FavoriteColumns
