// corvin-dsp: command-line front end of the offline DSP engine. Each sub-command registers
// itself in its own source file (see cli.h).

#include "cli.h"

#include <QCoreApplication>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    Cli::keepNativeArguments(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    return Cli::dispatch("corvin-dsp", app.arguments().mid(1), out, err);
}
