#include "programoptions.h"

#include "corvinversion.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>
#include <cstring>

ProgramOptions::ProgramOptions()
    : m_screenshots(QStringLiteral("screenshots"),
                    QStringLiteral("Connect to the first serial port, tune to a station, save a "
                                   "PNG of every page into DIR and quit."),
                    QStringLiteral("DIR"))
    , m_version(QStringList{QStringLiteral("v"), QStringLiteral("version")},
                QStringLiteral("Print the program's version and exit."))
{
    m_parser.setApplicationDescription(
        QStringLiteral("Corvin %1: remote control of a communications receiver, with its audio "
                       "on the PC, band plots, recording analysis, anomaly detection and "
                       "propagation data.")
            .arg(QStringLiteral(CORVIN_VERSION)));
    m_parser.addHelpOption();
    m_parser.addOption(m_version);
    m_parser.addOption(m_screenshots);
}

bool ProgramOptions::asksForHelpOrVersion(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        for (const char *option : {"-h", "-?", "--help", "--help-all", "-v", "--version"}) {
            if (std::strcmp(argv[i], option) == 0)
                return true;
        }
    }
    return false;
}

void ProgramOptions::answerHelpOrVersion(const QCoreApplication &app)
{
    // Unknown options are not an error here: they may be Qt's, which the GUI application takes.
    m_parser.parse(app.arguments());
    if (m_parser.isSet(m_version)) {
        std::printf("corvin %s\n", CORVIN_VERSION);
        std::exit(0);
    }
    if (m_parser.isSet(QStringLiteral("help")) || m_parser.isSet(QStringLiteral("help-all")))
        m_parser.showHelp(0);
}

void ProgramOptions::process(const QCoreApplication &app)
{
    m_parser.process(app);
}

QString ProgramOptions::screenshotFolder() const
{
    return m_parser.value(m_screenshots);
}

bool ProgramOptions::screenshotsRequested() const
{
    return m_parser.isSet(m_screenshots);
}
