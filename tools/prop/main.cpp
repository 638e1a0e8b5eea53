// corvin-prop: command-line front end of propagation and greyline. Each sub-command registers
// itself in its own source file (see cli.h).

#include "cli.h"

#include <QCoreApplication>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    return Cli::dispatch("corvin-prop", app.arguments().mid(1), out, err);
}
