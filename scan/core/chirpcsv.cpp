#include "chirpcsv.h"

#include "favoriteattributes.h"
#include "favoritecolumns.h"

#include <QHash>
#include <QSet>

#include <array>

namespace ChirpCsv {

namespace {

const std::array<const char *, 21> columns = {
    "Location",  "Name",     "Frequency",    "Duplex",     "Offset",    "Tone",     "rToneFreq",
    "cToneFreq", "DtcsCode", "DtcsPolarity", "RxDtcsCode", "CrossMode", "Mode",     "TStep",
    "Skip",      "Power",    "Comment",      "URCALL",     "RPT1CALL",  "RPT2CALL", "DVCODE"};

// Favourite mode text -> CHIRP mode, in both directions where they pair up.
struct ModePair
{
    const char *favorite;
    const char *chirp;
};
const ModePair pairs[] = {{"WFM", "WFM"}, {"NFM", "FM"},  {"SFM", "NFM"},
                          {"AM", "AM"},   {"NAM", "NAM"}, {"USB", "USB"},
                          {"LSB", "LSB"}, {"CW", "CW"},   {"AUTO", "Auto"}};

QString quoted(const QString &field)
{
    if (!field.contains(QLatin1Char(',')) && !field.contains(QLatin1Char('"')) &&
        !field.contains(QLatin1Char('\n')) && !field.contains(QLatin1Char('\r')))
        return field;
    QString text = field;
    text.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + text + QLatin1Char('"');
}

QString key(qint64 frequency, const QString &mode)
{
    return QString::number(frequency) + QLatin1Char('/') + mode;
}

// Splits CSV text into records of fields (RFC 4180; LF or CRLF line ends; blank lines skipped).
QVector<QStringList> parseRecords(const QString &text)
{
    QVector<QStringList> records;
    QStringList record;
    QString field;
    bool inQuotes = false;
    bool fieldStarted = false;
    const int n = text.size();
    for (int i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (inQuotes) {
            if (c != QLatin1Char('"')) {
                field.append(c);
            } else if (i + 1 < n && text.at(i + 1) == QLatin1Char('"')) {
                field.append(c);
                ++i;
            } else {
                inQuotes = false;
            }
        } else if (c == QLatin1Char('"')) {
            inQuotes = true;
            fieldStarted = true;
        } else if (c == QLatin1Char(',')) {
            record.append(field);
            field.clear();
            fieldStarted = true;
        } else if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            if (c == QLatin1Char('\r') && i + 1 < n && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
            if (fieldStarted || !field.isEmpty() || !record.isEmpty()) {
                record.append(field);
                records.append(record);
            }
            record.clear();
            field.clear();
            fieldStarted = false;
        } else {
            field.append(c);
            fieldStarted = true;
        }
    }
    if (fieldStarted || !field.isEmpty() || !record.isEmpty()) {
        record.append(field);
        records.append(record);
    }
    return records;
}

} // namespace

QString chirpMode(const QString &favoriteMode)
{
    if (favoriteMode == QLatin1String("WAM"))
        return QStringLiteral("AM");
    for (const ModePair &pair : pairs) {
        if (favoriteMode == QLatin1String(pair.favorite))
            return QString::fromLatin1(pair.chirp);
    }
    return QStringLiteral("Auto");
}

QString favoriteMode(const QString &chirpMode)
{
    const QString mode = chirpMode.trimmed();
    if (mode.compare(QLatin1String("CWR"), Qt::CaseInsensitive) == 0 ||
        mode.compare(QLatin1String("NCW"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("CW");
    for (const ModePair &pair : pairs) {
        if (mode.compare(QLatin1String(pair.chirp), Qt::CaseInsensitive) == 0)
            return QString::fromLatin1(pair.favorite);
    }
    return QStringLiteral("AUTO");
}

QByteArray exportFavorites(const QVector<Favorite> &favorites)
{
    QStringList header;
    for (const char *column : columns)
        header << QString::fromLatin1(column);
    QString text = header.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    for (int i = 0; i < favorites.size(); ++i) {
        const Favorite &favorite = favorites[i];
        const QStringList fields = {
            QString::number(i),
            quoted(favorite.name),
            FavoriteColumns::frequencyText(favorite.frequency),
            QString(),
            QStringLiteral("0.000000"),
            QString(),
            QStringLiteral("88.5"),
            QStringLiteral("88.5"),
            QStringLiteral("023"),
            QStringLiteral("NN"),
            QStringLiteral("023"),
            QStringLiteral("Tone->Tone"),
            chirpMode(favorite.mode),
            QStringLiteral("5.00"),
            QString(),
            QStringLiteral("50W"),
            quoted(favorite.attributes.value(QLatin1String(FavoriteAttributes::notes)).toString()),
            QString(),
            QString(),
            QString(),
            QString()};
        text += fields.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    }
    return text.toUtf8();
}

ImportResult importFavorites(const QByteArray &csv, const QVector<Favorite> &existing)
{
    ImportResult result;
    QString text = QString::fromUtf8(csv);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    const QVector<QStringList> records = parseRecords(text);
    QHash<QString, int> column;
    if (!records.isEmpty()) {
        for (int i = 0; i < records.first().size(); ++i)
            column.insert(records.first()[i].trimmed(), i);
    }
    if (!column.contains(QStringLiteral("Frequency"))) {
        result.error = QStringLiteral("not a CHIRP CSV file: no Frequency column");
        return result;
    }
    result.ok = true;
    const auto field = [&column](const QStringList &record, const char *name) {
        const int at = column.value(QLatin1String(name), -1);
        return at >= 0 ? record.value(at) : QString();
    };

    QSet<QString> held;
    for (const Favorite &favorite : existing)
        held.insert(key(favorite.frequency, favorite.mode));
    for (int r = 1; r < records.size(); ++r) {
        const QStringList &record = records[r];
        qint64 frequency = 0;
        if (!FavoriteColumns::hertzFromText(field(record, "Frequency").trimmed(), &frequency)) {
            ++result.unreadable;
            continue;
        }
        if (frequency < 100000 || frequency > 3000000000LL) {
            ++result.outOfRange;
            continue;
        }
        Favorite favorite;
        favorite.frequency = frequency;
        favorite.name = field(record, "Name").trimmed();
        favorite.mode = favoriteMode(field(record, "Mode"));
        const QString comment = field(record, "Comment");
        if (!comment.isEmpty())
            favorite.attributes.insert(QLatin1String(FavoriteAttributes::notes), comment);
        const QString id = key(frequency, favorite.mode);
        if (held.contains(id)) {
            ++result.duplicates;
            continue;
        }
        held.insert(id);
        result.added.append(favorite);
    }
    return result;
}

} // namespace ChirpCsv
