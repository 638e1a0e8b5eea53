#include "cli.h"

#include <QByteArray>
#include <QFile>

#include <algorithm>
#include <csignal>
#include <cstring>

namespace Cli {

namespace {

// Filled during static initialisation, before main() runs.
std::vector<Command> &registry()
{
    static std::vector<Command> list;
    return list;
}

QString &program()
{
    static QString name;
    return name;
}

std::vector<QByteArray> &nativeArguments()
{
    static std::vector<QByteArray> list;
    return list;
}

std::atomic<bool> stopFlag{false};
static_assert(std::atomic<bool>::is_always_lock_free, "the signal handler needs a lock-free flag");

constexpr int stopSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};
struct sigaction previousActions[std::size(stopSignals)];

extern "C" void onStopSignal(int)
{
    stopFlag.store(true);
}

} // namespace

bool add(const Command &command)
{
    registry().push_back(command);
    return true;
}

std::vector<Command> commands()
{
    std::vector<Command> sorted = registry();
    std::sort(sorted.begin(), sorted.end(),
              [](const Command &a, const Command &b) { return std::strcmp(a.name, b.name) < 0; });
    return sorted;
}

const Command *find(const QString &name)
{
    for (const Command &command : registry()) {
        if (name == QLatin1String(command.name))
            return &command;
    }
    return nullptr;
}

QString programName()
{
    return program();
}

void setProgramName(const QString &name)
{
    program() = name;
}

QString version()
{
    return QStringLiteral(CORVIN_VERSION);
}

void printUsage(const char *name, QTextStream &err)
{
    const Command *command = find(QLatin1String(name));
    err << "usage: " << program() << ' ' << name << ' ' << (command ? command->usage : "") << '\n';
}

int dispatch(const char *programName, const QStringList &arguments, QTextStream &out,
             QTextStream &err)
{
    program() = QString::fromLatin1(programName);
    const QString first = arguments.value(0);
    if (first == QLatin1String("--version")) {
        out << program() << ' ' << version() << '\n';
        return Success;
    }
    const bool help = first == QLatin1String("--help") || first == QLatin1String("-h");
    if (!help) {
        if (const Command *command = find(first))
            return command->run(arguments.mid(1), out, err);
        if (!first.isEmpty())
            err << "error: unknown command " << first << '\n';
    }
    QTextStream &stream = help ? out : err;
    for (const Command &command : commands()) {
        stream << "usage: " << program() << ' ' << command.name << ' ' << command.usage << '\n'
               << "    " << command.summary << '\n';
    }
    stream << "exit status: 0 done, 1 the job failed or was stopped, 2 usage or set-up error\n";
    return help ? Success : UsageError;
}

void keepNativeArguments(int argc, char **argv)
{
    nativeArguments().assign(argv + std::min(argc, 1), argv + std::max(argc, 0));
}

std::filesystem::path filePath(const QString &argument)
{
    for (const QByteArray &native : nativeArguments()) {
        if (QFile::decodeName(native) == argument)
            return native.toStdString();
    }
    return QFile::encodeName(argument).toStdString();
}

StopSignals::StopSignals()
{
    stopFlag = false;
    struct sigaction action = {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    for (size_t i = 0; i < std::size(stopSignals); ++i)
        sigaction(stopSignals[i], &action, &previousActions[i]);
}

StopSignals::~StopSignals()
{
    // After a stop the program is on its way out; a repeated signal during teardown must not
    // turn the clean stop into a kill.
    if (stopFlag.load())
        return;
    for (size_t i = 0; i < std::size(stopSignals); ++i)
        sigaction(stopSignals[i], &previousActions[i], nullptr);
}

std::atomic<bool> &StopSignals::flag()
{
    return stopFlag;
}

bool StopSignals::requested() const
{
    return stopFlag.load();
}

} // namespace Cli
