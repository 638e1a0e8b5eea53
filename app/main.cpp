#include "corvin.h"
#include "integritycheck.h"
#include "programoptions.h"
#include "quitonsignal.h"
#include "screenshottour.h"
#include "settingskeys.h"
#include "startup.h"

#include <QApplication>
#include <QTranslator>

int main(int argc, char *argv[])
{
    ProgramOptions options;
    if (ProgramOptions::asksForHelpOrVersion(argc, argv)) {
        // Answered before the GUI starts, so they need no display.
        QCoreApplication probe(argc, argv);
        options.answerHelpOrVersion(probe);
    }

    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QString::fromLatin1(SettingsKeys::organization));
    QCoreApplication::setApplicationName(QString::fromLatin1(SettingsKeys::application));
    // The desktop entry's name, which Wayland compositors match the window with.
    QGuiApplication::setDesktopFileName(QStringLiteral("corvin"));
    options.process(app);

    QTranslator translator;
    Startup::prepareApplication(app, translator);
    QuitOnSignal quitOnSignal;

    Corvin window;
    const QString executable = QCoreApplication::applicationFilePath();
    window.appendLog(IntegrityCheck::message(IntegrityCheck::verify(executable), executable));
    window.show();

    ScreenshotTour tour(&window, options.screenshotFolder());
    if (options.screenshotsRequested())
        tour.start();
    return app.exec();
}
