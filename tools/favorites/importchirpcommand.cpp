// corvin-favorites import-chirp CSV: appends the channels of a CHIRP CSV file that are not
// favourites yet (same frequency and mode) and saves the file, as the Favorites page's
// "Import CSV" does. Refuses while Corvin runs. A stop signal before the save leaves the file
// as it was; the save itself replaces the file atomically.

#include "chirpcsv.h"
#include "cli.h"
#include "favoritesfile.h"
#include "favoriteslock.h"
#include "favoritessession.h"

#include <QDir>
#include <QFile>

namespace {

int runImport(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    if (arguments.size() != 1) {
        Cli::printUsage("import-chirp", err);
        return Cli::UsageError;
    }
    Cli::StopSignals stop;
    QFile input(arguments.first());
    if (!input.open(QIODevice::ReadOnly)) {
        err << "error: cannot read " << QDir::toNativeSeparators(arguments.first()) << ": "
            << input.errorString() << '\n';
        return Cli::UsageError;
    }
    FavoritesLock lock(FavoritesSession::path());
    if (!FavoritesSession::lockForWriting(lock, err))
        return Cli::Failed;
    QVector<Favorite> favorites;
    if (!FavoritesSession::load(&favorites, err))
        return Cli::Failed;
    const ChirpCsv::ImportResult result = ChirpCsv::importFavorites(input.readAll(), favorites);
    if (!result.ok) {
        err << "error: " << QDir::toNativeSeparators(arguments.first()) << " is " << result.error
            << '\n';
        return Cli::Failed;
    }
    if (stop.requested()) {
        err << "error: stopped; the favourites file is unchanged\n";
        return Cli::Failed;
    }
    if (!result.added.isEmpty()) {
        QString error;
        if (!FavoritesFile::save(FavoritesSession::path(), favorites + result.added, &error)) {
            err << "error: cannot save " << QDir::toNativeSeparators(FavoritesSession::path())
                << ": " << error << '\n';
            return Cli::Failed;
        }
    }
    out << result.added.size() << " added, " << result.duplicates << " already present, "
        << result.outOfRange << " outside 0.1-3000 MHz, " << result.unreadable << " unreadable\n";
    return Cli::Success;
}

const bool registered = Cli::add(
    {"import-chirp", "CSV", "add the channels of a CHIRP CSV file to the favourites", &runImport});

} // namespace
