// corvin-prop: command-line front end of propagation and greyline. Each sub-command registers
// itself in its own source file (see cli.h).

#include "cli.h"

#include <QGuiApplication>

int main(int argc, char *argv[])
{
    // Reports and maps are painted (PDF, images), which needs the GUI application; the tool
    // never shows a window, so it runs without a display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    return Cli::dispatch("corvin-prop", app.arguments().mid(1), out, err);
}
