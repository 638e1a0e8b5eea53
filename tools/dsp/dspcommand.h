#pragma once

// Sub-commands of corvin-dsp ("corvin-dsp <name> <arguments...>"). Each command lives in its
// own source file and registers itself there with a static initialiser, so adding a command
// means adding a file to the executable and nothing else:
//
//   namespace {
//   int runInfo(const QStringList &arguments, QTextStream &out, QTextStream &err);
//   const bool registered = DspCommands::add({"info", "FILE", &runInfo});
//   }

#include <QStringList>
#include <QTextStream>

#include <vector>

struct DspCommand
{
    const char *name;  // first argument that selects the command
    const char *usage; // the arguments after the name, for the usage text
    // arguments: those after the name. Results go to out, messages to err. Returns the exit
    // code: 0 success, 1 failure of the work, 2 bad arguments.
    int (*run)(const QStringList &arguments, QTextStream &out, QTextStream &err);
};

namespace DspCommands {

bool add(const DspCommand &command);

// Runs the command named by arguments[0] (the program name already removed); prints the usage
// of every command and returns 2 when there is no such command.
int dispatch(const QStringList &arguments, QTextStream &out, QTextStream &err);

// "usage: corvin-dsp <name> <usage>" for one command.
void printUsage(const DspCommand &command, QTextStream &err);

} // namespace DspCommands
