// corvin-favorites report: writes the printable Favorites page into the data folder's "reports"
// folder, as "Print Favorites" does, and prints its path.

#include "cli.h"
#include "datafolders.h"
#include "favoritesreport.h"
#include "favoritessession.h"

#include <QDir>

namespace {

int runReport(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    if (!arguments.isEmpty()) {
        Cli::printUsage("report", err);
        return Cli::UsageError;
    }
    QVector<Favorite> favorites;
    if (!FavoritesSession::load(&favorites, err))
        return Cli::Failed;
    QString message;
    const QString path = FavoritesReport::write(
        DataFolders::path(QString::fromLatin1(DataFolders::reports)),
        FavoritesReportTable::of(favorites), QDateTime::currentDateTime(), &message);
    if (path.isEmpty()) {
        err << "error: " << message << '\n';
        return Cli::Failed;
    }
    out << QDir::toNativeSeparators(path) << '\n';
    return Cli::Success;
}

const bool registered =
    Cli::add({"report", "", "write the printable Favorites page and print its path", &runReport});

} // namespace
