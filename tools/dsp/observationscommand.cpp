// corvin-dsp observations DIR [--context KEY | --list-contexts] [--config JSON]: the observation
// statistics of an events folder laid out like data/anomaly (event WAVs with their sidecars and
// reviews in DIR, observation logs in DIR/observations). Prints the report of one context ("All
// contexts" by default; KEY is an entry as --list-contexts prints it) or the list of contexts,
// one a line. JSON stands for the panel's detector rules, as for replay. Whatever the files
// hold, the report is printed and the exit code is 0; it writes nothing.

#include "cli.h"
#include "datafolders.h"
#include "detectorsettings.h"
#include "observationreport.h"

#include <QDir>
#include <QFileInfo>

namespace {

const char *const usage = "DIR [--context KEY | --list-contexts] [--config JSON]";

struct Options
{
    QString folder;
    QString context;
    bool hasContext = false;
    bool listContexts = false;
    QString config;
};

bool parse(const QStringList &arguments, Options &options)
{
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &a = arguments[i];
        if (a == QLatin1String("--list-contexts")) {
            options.listContexts = true;
        } else if (a == QLatin1String("--context") && i + 1 < arguments.size()) {
            options.hasContext = true;
            options.context = arguments[++i];
        } else if (a == QLatin1String("--config") && i + 1 < arguments.size() &&
                   !arguments[i + 1].isEmpty()) {
            options.config = arguments[++i];
        } else if (a.startsWith(QLatin1String("--")) || !options.folder.isEmpty()) {
            return false;
        } else {
            options.folder = a;
        }
    }
    return !options.folder.isEmpty() && !(options.hasContext && options.listContexts);
}

int runObservations(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    Options options;
    if (!parse(arguments, options)) {
        Cli::printUsage("observations", err);
        return Cli::UsageError;
    }
    if (!QFileInfo(options.folder).isDir()) {
        err << "error: " << QDir::toNativeSeparators(options.folder) << " is not a folder\n";
        return Cli::UsageError;
    }
    AnomalySettings settings;
    QString error;
    if (!options.config.isEmpty() &&
        !DetectorSettings::fromJsonFile(options.config, &settings, &error)) {
        err << "error: " << error << '\n';
        return Cli::UsageError;
    }

    // The observation folder below the events folder, as in the data folder.
    const QDir events(options.folder);
    const QString logsFolder =
        events.filePath(QFileInfo(QLatin1String(DataFolders::anomalyObservations)).fileName());
    const QVector<ObservationLog> logs = ObservationStatistics::readLogs(logsFolder);
    const QVector<ArchivedEvent> archived = EventArchive::list(events.path());
    if (options.listContexts) {
        const QStringList entries =
            ObservationReport::contextEntries(ObservationStatistics::contexts(logs, archived));
        for (const QString &entry : entries)
            out << entry << '\n';
        return Cli::Success;
    }
    const ContextChoice choice = options.hasContext ? ObservationReport::choiceOf(options.context)
                                                    : ContextChoice::allContexts();
    out << ObservationReport::build(logs, archived, choice, settings.decision) << '\n';
    return Cli::Success;
}

const bool registered = Cli::add({"observations", usage,
                                  "the observation statistics and advisory calibration of an "
                                  "events folder",
                                  &runObservations});

} // namespace
