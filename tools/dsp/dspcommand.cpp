#include "dspcommand.h"

#include <algorithm>
#include <cstring>

namespace DspCommands {

namespace {

// Filled during static initialisation, before main() runs.
std::vector<DspCommand> &registry()
{
    static std::vector<DspCommand> commands;
    return commands;
}

} // namespace

bool add(const DspCommand &command)
{
    registry().push_back(command);
    return true;
}

void printUsage(const DspCommand &command, QTextStream &err)
{
    err << "usage: corvin-dsp " << command.name << ' ' << command.usage << '\n';
}

int dispatch(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    std::vector<DspCommand> &commands = registry();
    std::sort(commands.begin(), commands.end(), [](const DspCommand &a, const DspCommand &b) {
        return std::strcmp(a.name, b.name) < 0;
    });
    if (!arguments.isEmpty()) {
        for (const DspCommand &command : commands) {
            if (arguments.first() == QLatin1String(command.name))
                return command.run(arguments.mid(1), out, err);
        }
    }
    for (const DspCommand &command : commands)
        printUsage(command, err);
    return 2;
}

} // namespace DspCommands
