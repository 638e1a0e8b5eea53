// corvin-prop: command-line front end of propagation and greyline. Each sub-command registers
// itself in its own source file (see cli.h).

#include "cli.h"

#include <QGuiApplication>

#include <cstdio>

namespace {

QtMessageHandler qtHandler = nullptr;

// A GUI application started in a session without XDG_RUNTIME_DIR (cron, a root shell) makes Qt
// print a note about it. It says nothing about the tool's work and would mix with the tool's
// own diagnostics on stderr, which scripts read: drop it, pass on everything else.
void dropSessionNotes(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set")))
        return;
    if (qtHandler)
        qtHandler(type, context, message);
    else
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

} // namespace

int main(int argc, char *argv[])
{
    // Reports and maps are painted (PDF with its fonts, images), which needs the GUI
    // application; the tool never shows a window, so it runs without a display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qtHandler = qInstallMessageHandler(dropSessionNotes);
    QGuiApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    return Cli::dispatch("corvin-prop", app.arguments().mid(1), out, err);
}
