#pragma once

#include <QCommandLineOption>
#include <QCommandLineParser>

class QCoreApplication;

// The program's command line: --screenshots DIR, --help and --version. UI-free: --help and
// --version are answered before the GUI starts, so they work without a display.
class ProgramOptions
{
public:
    ProgramOptions();

    // True when the raw arguments ask for --help, --help-all or --version.
    static bool asksForHelpOrVersion(int argc, char **argv);
    // Prints the help or the version as asked and ends the process with exit code 0; the
    // program's other options, and Qt's own (-platform ...), are left alone. Does nothing
    // when neither is asked.
    void answerHelpOrVersion(const QCoreApplication &app);
    // Parses the arguments that the GUI application left; a bad command line ends the process
    // with a message and exit code 1.
    void process(const QCoreApplication &app);

    QString screenshotFolder() const;
    bool screenshotsRequested() const;

private:
    QCommandLineParser m_parser;
    QCommandLineOption m_screenshots;
    QCommandLineOption m_version;
};
