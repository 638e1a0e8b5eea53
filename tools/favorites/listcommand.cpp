// corvin-favorites list: the favourites as tab-separated lines under a header line, with the
// columns of the Favorites list (tabs and line breaks inside a cell become spaces).

#include "cli.h"
#include "favoritecolumns.h"
#include "favoritessession.h"

namespace {

QString cellLine(const QStringList &cells)
{
    QStringList clean;
    for (QString cell : cells) {
        cell.replace(QLatin1Char('\t'), QLatin1Char(' '));
        cell.replace(QLatin1Char('\r'), QLatin1Char(' '));
        cell.replace(QLatin1Char('\n'), QLatin1Char(' '));
        clean << cell;
    }
    return clean.join(QLatin1Char('\t'));
}

int runList(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    if (!arguments.isEmpty()) {
        Cli::printUsage("list", err);
        return Cli::UsageError;
    }
    QVector<Favorite> favorites;
    if (!FavoritesSession::load(&favorites, err))
        return Cli::Failed;
    out << cellLine(FavoriteColumns::headers()) << '\n';
    for (const Favorite &favorite : favorites)
        out << cellLine(FavoriteColumns::cellTexts(favorite)) << '\n';
    return Cli::Success;
}

const bool registered = Cli::add({"list", "", "print the favourites, tab-separated", &runList});

} // namespace
