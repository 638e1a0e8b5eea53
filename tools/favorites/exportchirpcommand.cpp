// corvin-favorites export-chirp CSV: writes the favourites as a CHIRP CSV file (replaced
// atomically) and prints its path.

#include "chirpcsv.h"
#include "cli.h"
#include "favoritessession.h"

#include <QDir>
#include <QSaveFile>

namespace {

int runExport(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    if (arguments.size() != 1) {
        Cli::printUsage("export-chirp", err);
        return Cli::UsageError;
    }
    QVector<Favorite> favorites;
    if (!FavoritesSession::load(&favorites, err))
        return Cli::Failed;
    const QByteArray csv = ChirpCsv::exportFavorites(favorites);
    QSaveFile file(arguments.first());
    if (!file.open(QIODevice::WriteOnly) || file.write(csv) != csv.size() || !file.commit()) {
        err << "error: cannot write " << QDir::toNativeSeparators(arguments.first()) << ": "
            << file.errorString() << '\n';
        return Cli::Failed;
    }
    err << favorites.size() << " favorites exported\n";
    out << QDir::toNativeSeparators(arguments.first()) << '\n';
    return Cli::Success;
}

const bool registered =
    Cli::add({"export-chirp", "CSV", "write the favourites as a CHIRP CSV file", &runExport});

} // namespace
