#include "favoritesfile.h"

#include "favoriteattributes.h"
#include "favoritecolumns.h"
#include "preferences.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <set>

namespace FavoritesFile {

namespace {

const QString countsKey = QStringLiteral("Counts");

QString prefix(qint64 index)
{
    return QStringLiteral("[%1].").arg(index);
}

// The index of an option "[i].name"; -1 for any other key.
qint64 indexOf(const QString &key)
{
    static const QRegularExpression indexed(QStringLiteral("^\\[(\\d{1,18})\\]\\."));
    const QRegularExpressionMatch match = indexed.match(key);
    return match.hasMatch() ? match.captured(1).toLongLong() : -1;
}

QString modeText(const QString &stored, const QStringList &modeTexts)
{
    bool isIndex = false;
    const int index = stored.toInt(&isIndex);
    return isIndex && index >= 0 && index < modeTexts.size() ? modeTexts[index] : stored;
}

} // namespace

LoadResult load(const QString &path, const QStringList &modeTexts)
{
    LoadResult result;
    Preferences file(path, QLatin1String(formatName), QLatin1String(formatVersion));
    file.readData();
    // Only read: nothing may be written back when the object goes.
    file.setModified(false);
    if (!file.fileState()) {
        result.missing = !QFileInfo::exists(path);
        result.ok = result.missing;
        result.error = result.missing ? QString() : file.errorText();
        return result;
    }
    if (!file.formatState()) {
        result.error = file.errorText();
        return result;
    }
    result.ok = true;
    file.setGroup(QLatin1String(listGroup));

    // The indices that have options, below "Counts": a hostile count costs nothing, and an
    // index without any option is no favourite at all.
    const qint64 counts = std::max<qint64>(0, file.getString(countsKey).toLongLong());
    std::set<qint64> present;
    for (const QString &key : file.keys()) {
        const qint64 index = indexOf(key);
        if (index >= 0 && index < counts)
            present.insert(index);
    }
    for (const qint64 i : present) {
        const QString at = prefix(i);
        Favorite favorite;
        for (const QString &key : FavoriteAttributes::keys()) {
            const QString value = file.getString(at + key);
            if (!value.isEmpty())
                favorite.attributes.insert(key, value);
        }
        favorite.mode = modeText(file.getString(at + QStringLiteral("modulation")), modeTexts);
        favorite.name = file.getString(at + QStringLiteral("doc"));
        if (!FavoriteColumns::hertzFromText(file.getString(at + QStringLiteral("frequency")),
                                            &favorite.frequency))
            favorite.frequency = 0;
        result.favorites.append(favorite);
    }
    file.setModified(false);
    return result;
}

bool save(const QString &path, const QVector<Favorite> &favorites, QString *error)
{
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder)) {
        *error = QStringLiteral("cannot create the folder %1").arg(QDir::toNativeSeparators(folder));
        return false;
    }
    Preferences file(path, QLatin1String(formatName), QLatin1String(formatVersion));
    file.readData();
    const bool exists = QFileInfo::exists(path);
    if (exists && (!file.fileState() || !file.formatState())) {
        *error = file.errorText();
        file.setModified(false);
        return false;
    }
    file.setGroup(QLatin1String(listGroup));
    // Every indexed option at or above the new count goes, whatever the old count said.
    for (const QString &key : file.keys()) {
        if (indexOf(key) >= favorites.size())
            file.removeKey(key);
    }
    file.setString(countsKey, QString::number(favorites.size()));
    for (int i = 0; i < favorites.size(); ++i) {
        const Favorite &favorite = favorites[i];
        const QString at = prefix(i);
        file.setString(at + QStringLiteral("frequency"),
                       FavoriteColumns::frequencyText(favorite.frequency));
        file.setString(at + QStringLiteral("doc"), favorite.name);
        file.setString(at + QStringLiteral("modulation"), favorite.mode);
        for (const QString &key : FavoriteAttributes::keys())
            file.setString(at + key, favorite.attributes.value(key).toString());
    }
    file.writeData();
    file.setModified(false);
    if (!file.fileState() || !file.formatState()) {
        *error = file.errorText();
        return false;
    }
    return true;
}

} // namespace FavoritesFile
