#include "corvin.h"
#include "integritycheck.h"
#include "quitonsignal.h"
#include "screenshottour.h"
#include "settingskeys.h"
#include "startup.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTranslator>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QString::fromLatin1(SettingsKeys::organization));
    QCoreApplication::setApplicationName(QString::fromLatin1(SettingsKeys::application));

    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption screenshots(
        QStringLiteral("screenshots"),
        QStringLiteral("Connect to the first serial port, tune to a station, save a PNG of "
                       "every page into DIR and quit."),
        QStringLiteral("DIR"));
    parser.addOption(screenshots);
    parser.process(app);

    QTranslator translator;
    Startup::prepareApplication(app, translator);
    QuitOnSignal quitOnSignal;

    Corvin window;
    const QString executable = QCoreApplication::applicationFilePath();
    window.appendLog(IntegrityCheck::message(IntegrityCheck::verify(executable), executable));
    window.show();

    ScreenshotTour tour(&window, parser.value(screenshots));
    if (parser.isSet(screenshots))
        tour.start();
    return app.exec();
}
