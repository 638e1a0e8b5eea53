// libFuzzer target: reads arbitrary bytes as the favourites file. Whatever it accepts must save
// and read back to the same favourites; nothing may crash, hang or leak. Built by
// scripts/fuzz-favorites.

#include "favoritesfile.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <cstdint>
#include <cstdlib>
#include <unistd.h>

namespace {

const QStringList modes = {"WFM", "NFM", "AM", "USB", "LSB", "CW", "SFM", "WAM", "NAM", "AUTO"};

QString folder()
{
    static const QString path = QStringLiteral("/dev/shm/favoritesfuzzer-%1").arg(getpid());
    return path;
}

void write(const QString &path, const std::uint8_t *data, std::size_t size)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        std::abort();
    file.write(reinterpret_cast<const char *>(data), static_cast<qint64>(size));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString input = folder() + QStringLiteral("/input.xml");
    const QString copy = folder() + QStringLiteral("/copy.xml");
    static const bool made = [] { return system(qPrintable("mkdir -p " + folder())) == 0; }();
    if (!made)
        std::abort();
    write(input, data, size);
    const FavoritesFile::LoadResult loaded = FavoritesFile::load(input, modes);
    if (!loaded.ok)
        return 0;

    QFile::remove(copy);
    QString error;
    if (!FavoritesFile::save(copy, loaded.favorites, &error))
        std::abort();
    const FavoritesFile::LoadResult again = FavoritesFile::load(copy, modes);
    // Saving drops characters XML cannot hold and empty attributes; beyond that the favourites
    // come back as they were read.
    if (!again.ok || again.favorites.size() != loaded.favorites.size())
        std::abort();
    for (int i = 0; i < again.favorites.size(); ++i) {
        if (again.favorites[i].frequency != loaded.favorites[i].frequency &&
            loaded.favorites[i].frequency >= 0)
            std::abort();
    }
    return 0;
}
