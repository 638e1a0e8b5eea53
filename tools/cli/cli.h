#pragma once

// What the command-line tools share: one program name, sub-commands that register
// themselves, --help and --version, the exit codes, and the signals that act as Stop.
//
// A sub-command lives in its own source file and registers itself with a static initialiser,
// so adding a command means adding a file to the executable and nothing else:
//
//   namespace {
//   int runInfo(const QStringList &arguments, QTextStream &out, QTextStream &err);
//   const bool registered = Cli::add({"info", "FILE", "the format of a WAV file", &runInfo});
//   }

#include <QStringList>
#include <QTextStream>

#include <atomic>
#include <filesystem>
#include <vector>

namespace Cli {

enum ExitCode : int {
    Success = 0,    // the job was done
    Failed = 1,     // the job failed or was stopped
    UsageError = 2, // bad arguments, or a set-up error (port, device, folder)
};

struct Command
{
    const char *name;    // first argument that selects the command
    const char *usage;   // the arguments after the name, for the usage text
    const char *summary; // one line for --help
    // arguments: those after the name. Results go to out, messages to err. Returns an
    // ExitCode.
    int (*run)(const QStringList &arguments, QTextStream &out, QTextStream &err);
};

bool add(const Command &command);
// The registered commands, sorted by name.
std::vector<Command> commands();
// The command of that name, or null.
const Command *find(const QString &name);

// The running program's name ("corvin-dsp"), set by dispatch or, by programs that run their
// commands themselves, by setProgramName.
QString programName();
void setProgramName(const QString &name);
// The project's version ("0.1.0").
QString version();

// "usage: <program> <name> <usage>" for the named command.
void printUsage(const char *name, QTextStream &err);

// Runs the command named by arguments[0] (the program name already removed). "--help" and
// "-h" print every command's usage on out and return Success; "--version" prints
// "<program> <version>"; anything else unknown prints the usage on err and returns
// UsageError.
int dispatch(const char *program, const QStringList &arguments, QTextStream &out, QTextStream &err);

// File names on the command line. The commands get their arguments as text, and a name that
// is not valid in the locale's encoding (not UTF-8, say) does not come back from text intact.
// main() hands over the program's own argument bytes with keepNativeArguments(); filePath()
// then gives the argument that reads as `argument` in the platform's file-name encoding, or
// the encoded text when no argument does.
void keepNativeArguments(int argc, char **argv);
std::filesystem::path filePath(const QString &argument);

// While an object of this class lives, SIGINT, SIGTERM, SIGHUP and SIGQUIT set its flag
// instead of ending the program, so a job can stop cleanly and leave no half-written file; a
// repeated signal does the same. The previous handlers come back on destruction unless a
// stop was requested. One at a time.
class StopSignals
{
public:
    StopSignals();
    ~StopSignals();
    StopSignals(const StopSignals &) = delete;
    StopSignals &operator=(const StopSignals &) = delete;

    // Set from the signal handler; jobs poll it.
    std::atomic<bool> &flag();
    bool requested() const;
};

} // namespace Cli
