#include "favoritesfile.h"

#include "favoriteattributes.h"
#include "favoritecolumns.h"
#include "preferences.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <map>

namespace FavoritesFile {

namespace {

const QString countsKey = QStringLiteral("Counts");

QString prefix(qint64 index)
{
    return QStringLiteral("[%1].").arg(index);
}

// The index of an option "[i].name" (i: 1 to 18 decimal digits), with the position of
// "name" in *suffixAt; -1 for any other key.
qint64 indexOf(const QString &key, int *suffixAt = nullptr)
{
    if (!key.startsWith(QLatin1Char('[')))
        return -1;
    qint64 index = 0;
    int at = 1;
    for (; at < key.size() && at <= 18 && key.at(at).isDigit(); ++at)
        index = index * 10 + key.at(at).digitValue();
    const bool closed = at > 1 && at + 1 < key.size() && key.at(at) == QLatin1Char(']') &&
                        key.at(at + 1) == QLatin1Char('.');
    if (suffixAt)
        *suffixAt = at + 2;
    return closed ? index : -1;
}

QString modeText(const QString &stored, const QStringList &modeTexts)
{
    bool isIndex = false;
    const int index = stored.toInt(&isIndex);
    return isIndex && index >= 0 && index < modeTexts.size() ? modeTexts[index] : stored;
}

// The option suffixes every favourite is written with, in text order.
const QStringList &suffixesInKeyOrder()
{
    static const QStringList suffixes = [] {
        QStringList list = FavoriteAttributes::keys();
        list << QStringLiteral("frequency") << QStringLiteral("doc")
             << QStringLiteral("modulation");
        list.sort();
        return list;
    }();
    return suffixes;
}

QString optionValue(const Favorite &favorite, const QString &suffix)
{
    if (suffix == QLatin1String("frequency"))
        return FavoriteColumns::frequencyText(favorite.frequency);
    if (suffix == QLatin1String("doc"))
        return favorite.name;
    if (suffix == QLatin1String("modulation"))
        return favorite.mode;
    return favorite.attributes.value(suffix).toString();
}

// Appends to *order the indices below count whose decimal text begins with that of index, in the
// text order of their "[i]." keys: ']' sorts after every digit, so each index comes after all
// the longer ones it begins ("[10]." before "[1].").
void appendInKeyOrder(qint64 index, qint64 count, QVector<int> *order)
{
    // Index 0 begins no other: indices have no leading zeros.
    for (int digit = 0; index > 0 && digit < 10 && index * 10 + digit < count; ++digit)
        appendInKeyOrder(index * 10 + digit, count, order);
    order->append(static_cast<int>(index));
}

// Hands every favourite's options to the sink in ascending key order.
void streamOptions(const QVector<Favorite> &favorites, const PreferencesLayout::OptionSink &sink)
{
    QVector<int> order;
    order.reserve(favorites.size());
    for (int first = 0; first < 10 && first < favorites.size(); ++first)
        appendInKeyOrder(first, favorites.size(), &order);
    const QStringList &suffixes = suffixesInKeyOrder();
    for (const int i : order) {
        // The favourite's prefix, each suffix written over the last in place.
        QString key = prefix(i);
        const int prefixSize = key.size();
        for (const QString &suffix : suffixes) {
            key.resize(prefixSize);
            key += suffix;
            sink(key, optionValue(favorites[i], suffix));
        }
    }
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
    const QMap<QString, QString> options = file.options();

    // The indices that have options, below "Counts": a hostile count costs nothing, and an
    // index without any option is no favourite at all. One pass over the options.
    const qint64 counts = std::max<qint64>(0, options.value(countsKey).toLongLong());
    const QStringList &attributeKeys = FavoriteAttributes::keys();
    std::map<qint64, Favorite> byIndex;
    for (auto option = options.cbegin(); option != options.cend(); ++option) {
        int suffixAt = 0;
        const qint64 index = indexOf(option.key(), &suffixAt);
        if (index < 0 || index >= counts)
            continue;
        Favorite &favorite = byIndex[index];
        const QStringRef suffix = option.key().midRef(suffixAt);
        const QString &value = option.value();
        if (suffix == QLatin1String("frequency")) {
            if (!FavoriteColumns::hertzFromText(value, &favorite.frequency))
                favorite.frequency = 0;
        } else if (suffix == QLatin1String("doc")) {
            favorite.name = value;
        } else if (suffix == QLatin1String("modulation")) {
            favorite.mode = modeText(value, modeTexts);
        } else if (!value.isEmpty() && attributeKeys.contains(suffix.toString())) {
            favorite.attributes.insert(suffix.toString(), value);
        }
    }
    result.favorites.reserve(static_cast<int>(byIndex.size()));
    for (auto &entry : byIndex)
        result.favorites.append(std::move(entry.second));
    return result;
}

bool save(const QString &path, const QVector<Favorite> &favorites, QString *error)
{
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder)) {
        *error =
            QStringLiteral("cannot create the folder %1").arg(QDir::toNativeSeparators(folder));
        return false;
    }
    Preferences file(path, QLatin1String(formatName), QLatin1String(formatVersion));
    // The file is read for its other groups and the list's other keys, which survive the save,
    // and so that a file that cannot be read is never overwritten. The favourites' own options
    // are about to be replaced: they are checked but not loaded.
    file.readData([](const QString &group, const QString &key) {
        return group == QLatin1String(listGroup) && indexOf(key) >= 0;
    });
    const bool exists = QFileInfo::exists(path);
    if (exists && (!file.fileState() || !file.formatState())) {
        *error = file.errorText();
        file.setModified(false);
        return false;
    }
    // The list group anew: its keys that are no favourite's (every indexed one went, whatever
    // the old count said), "Counts", and the favourites' options, which go straight into the
    // text rather than into a map first.
    file.setGroup(QLatin1String(listGroup));
    file.setString(countsKey, QString::number(favorites.size()));
    file.writeData(
        {QLatin1String(listGroup), [&favorites](const PreferencesLayout::OptionSink &sink) {
             streamOptions(favorites, sink);
         }});
    file.setModified(false);
    if (!file.fileState() || !file.formatState()) {
        *error = file.errorText();
        return false;
    }
    return true;
}

} // namespace FavoritesFile
