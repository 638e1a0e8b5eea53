#include "corvin.h"
#include "integritycheck.h"
#include "settingskeys.h"
#include "startup.h"

#include <QApplication>
#include <QTranslator>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QString::fromLatin1(SettingsKeys::organization));
    QCoreApplication::setApplicationName(QString::fromLatin1(SettingsKeys::application));
    QTranslator translator;
    Startup::prepareApplication(app, translator);

    Corvin window;
    const QString executable = QCoreApplication::applicationFilePath();
    window.appendLog(IntegrityCheck::message(IntegrityCheck::verify(executable), executable));
    window.show();
    return app.exec();
}
