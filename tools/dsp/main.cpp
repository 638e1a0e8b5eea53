// corvin-dsp: command-line front end of the offline DSP engine. Each sub-command registers
// itself (see dspcommand.h).

#include "dspcommand.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    return DspCommands::dispatch(app.arguments().mid(1), out, err);
}
