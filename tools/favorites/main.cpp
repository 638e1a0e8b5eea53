// corvin-favorites: the favourites file from the command line, on the same code as the
// Favorites page. "--file PATH" before the command picks another file than
// "./sys/favorites.xml". Each command registers itself in its own source file (see cli.h).

#include "cli.h"
#include "favoritessession.h"

#include <QCoreApplication>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList arguments = app.arguments().mid(1);
    if (!arguments.isEmpty() && arguments.first().startsWith(QLatin1String("--file="))) {
        FavoritesSession::setPath(arguments.takeFirst().mid(7));
    } else if (!arguments.isEmpty() && arguments.first() == QLatin1String("--file")) {
        if (arguments.size() < 2) {
            err << "corvin-favorites: --file needs a path\n";
            return Cli::UsageError;
        }
        arguments.removeFirst();
        FavoritesSession::setPath(arguments.takeFirst());
    }
    const QString first = arguments.value(0);
    if (first == QLatin1String("--help") || first == QLatin1String("-h"))
        out << "option before the command: --file PATH  the favourites file (default "
               "./sys/favorites.xml)\n";
    return Cli::dispatch("corvin-favorites", arguments, out, err);
}
