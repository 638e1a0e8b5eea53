// segmora-demo: shows what the Segmora library draws.
//   segmora-demo                     the window
//   segmora-demo --screenshot FILE   saves a picture of the window after a second and quits

#include "demowindow.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("segmora-demo"));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Shows every display of the Segmora library."));
    parser.addHelpOption();
    const QCommandLineOption screenshot(
        QStringLiteral("screenshot"),
        QStringLiteral("Save a PNG of the window into FILE after a second, then quit."),
        QStringLiteral("FILE"));
    parser.addOption(screenshot);
    parser.process(app);

    DemoWindow window;
    window.resize(1100, 1000);
    window.show();

    if (parser.isSet(screenshot)) {
        const QString file = parser.value(screenshot);
        QTimer::singleShot(1000, &window, [&window, file] {
            if (!window.grab().save(file, "PNG")) {
                std::fprintf(stderr, "error: cannot write %s\n", qPrintable(file));
                QCoreApplication::exit(1);
                return;
            }
            std::printf("%s\n", qPrintable(file));
            QCoreApplication::exit(0);
        });
    }
    return app.exec();
}
