#pragma once

#include <QString>

// Where the program writes its output. UI-free.
//
// The data folder is "data" beside the executable. When that folder cannot be created or
// written (an installed program), the per-user application data location is used instead.
// The environment variable CORVIN_DATA_DIR overrides both. Two paths are relative to the
// process's current directory instead: the WAV recordings and the favourites file.
namespace DataFolders {

// Sub-folders of the data folder, each created by its writer before it writes.
constexpr const char *rf = "rf";
constexpr const char *scans = "scans";
constexpr const char *spectrum = "spectrum";
constexpr const char *dsp = "dsp";
constexpr const char *anomaly = "anomaly";
constexpr const char *anomalyObservations = "anomaly/observations";
constexpr const char *reports = "reports";
constexpr const char *propagation = "propagation";
constexpr const char *bandscope = "bandscope";
constexpr const char *serial = "serial"; // serial traffic traces

// Relative to the current directory.
constexpr const char *grab = "grab";
constexpr const char *favoritesFile = "./sys/favorites.xml";

// The name of the persistent log file inside the data folder.
constexpr const char *logFileName = "Corvin.log";

// Picks the data folder: overrideDir when not empty; else besideExecutable when it can be
// created and a file can be written in it; else perUser. Creates the chosen folder when it
// can. Returns an absolute, clean path.
QString resolve(const QString &overrideDir, const QString &besideExecutable,
                const QString &perUser);

// The data folder of this process (needs the application object for the executable's
// directory and the per-user location). Resolved on the first call and kept for the whole
// run, so the log, the reports and every tab write below the same folder even when the
// environment or the folders change meanwhile. Thread-safe.
QString dataFolder();

// Absolute path of a sub-folder (or file) below the data folder; nothing is created.
QString path(const QString &relative);

// Creates the data folder, or a sub-folder of it, with all missing parents. Returns its
// absolute path, or an empty string when it could not be created.
QString ensure(const QString &relative = QString());

} // namespace DataFolders
