// corvin-rxctl: runs receiver commands through the receiver driver, for scripts and tests.
// The short commands run in order on one open port; a job verb (sweep, scan, ...) takes the
// rest of the command line and registers itself in its own source file with Cli::add, reaching
// the open receiver through RxctlSession.
#include "cli.h"
#include "corvindriver.h"
#include "rxctlsession.h"
#include "serialtrace.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QStringList>
#include <QVector>

#include <cstdio>
#include <memory>

namespace {

using Cli::Failed;
using Cli::Success;
using Cli::UsageError;

struct Command
{
    QString name;
    qint64 value = 0; // frequency for tune, mode code for mode
};

// The job verb that ends the command line, if any, and its arguments.
struct Job
{
    const Cli::Command *verb = nullptr;
    QStringList arguments;
};

QString usage()
{
    QString text = QStringLiteral(
        "usage: corvin-rxctl --port PORT [--trace FILE] COMMAND [ARGS] ... [JOB [ARGS]]\n"
        "  --trace FILE   write every byte block on the wire to FILE (- for standard error)\n"
        "commands (run in order on one open port; the first failure stops the run):\n"
        "  identify       ask the receiver to identify itself\n"
        "  tune HZ        tune to HZ hertz (100000 to 3000000000)\n"
        "  mode NAME|CODE select a mode: WFM NFM AM USB LSB CW SFM WAM NAM AUTO or 0-9\n"
        "  level          read the S-meter (0-255)\n"
        "  standby        put the receiver in standby\n"
        "  exit           send EX (leave remote control)\n");
    const std::vector<Cli::Command> jobs = Cli::commands();
    if (!jobs.empty()) {
        text += QStringLiteral("jobs (take the rest of the line; Ctrl-C stops them):\n");
        for (const Cli::Command &job : jobs) {
            text += QStringLiteral("  %1 %2\n      %3\n")
                        .arg(QLatin1String(job.name), QLatin1String(job.usage),
                             QLatin1String(job.summary));
        }
    }
    return text + QStringLiteral("exit status: 0 all succeeded, 1 a command or job failed or was "
                                 "stopped, 2 usage error or port not opened\n");
}

void printErr(const QString &text)
{
    std::fprintf(stderr, "%s\n", qPrintable(text));
}

[[noreturn]] void usageError(const QString &message)
{
    printErr(QStringLiteral("corvin-rxctl: ") + message);
    std::fputs(qPrintable(usage()), stderr);
    std::exit(UsageError);
}

bool parseCommands(const QStringList &words, QVector<Command> *commands, Job *job)
{
    for (int i = 0; i < words.size(); ++i) {
        if (const Cli::Command *verb = Cli::find(words[i].toLower())) {
            job->verb = verb;
            job->arguments = words.mid(i + 1);
            return true;
        }
        Command command{words[i].toLower(), 0};
        const bool takesArgument =
            command.name == QLatin1String("tune") || command.name == QLatin1String("mode");
        if (takesArgument && i + 1 >= words.size())
            usageError(QStringLiteral("%1 needs an argument").arg(command.name));
        if (command.name == QLatin1String("tune")) {
            bool ok = false;
            command.value = words[++i].toLongLong(&ok);
            if (!ok)
                usageError(QStringLiteral("tune needs a frequency in Hz, not %1").arg(words[i]));
        } else if (command.name == QLatin1String("mode")) {
            const QString argument = words[++i];
            bool isCode = false;
            const int code = argument.toInt(&isCode);
            command.value = isCode ? code : receiverModeFromName(argument);
            if (command.value < 0 || command.value >= receiverModeCount)
                usageError(QStringLiteral("unknown mode %1").arg(argument));
        } else if (!QStringList{QStringLiteral("identify"), QStringLiteral("level"),
                                QStringLiteral("standby"), QStringLiteral("exit")}
                        .contains(command.name)) {
            usageError(QStringLiteral("unknown command %1").arg(words[i]));
        }
        commands->append(command);
    }
    return !commands->isEmpty();
}

int runJob(const Job &job)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    return job.verb->run(job.arguments, out, err);
}

bool run(Corvindriver &driver, const Command &command)
{
    const QString &name = command.name;
    if (name == QLatin1String("identify")) {
        QString reply;
        if (!driver.identify(&reply))
            return false;
        std::printf("%s\n", qPrintable(reply));
    } else if (name == QLatin1String("tune")) {
        if (!driver.tune(command.value))
            return false;
        std::printf("frequency %llu\n", static_cast<unsigned long long>(driver.state().frequency));
    } else if (name == QLatin1String("mode")) {
        if (!driver.setMode(static_cast<int>(command.value)))
            return false;
        const Corvindriver::State &state = driver.state();
        if (state.mode == static_cast<int>(ReceiverMode::Auto))
            std::printf("mode AUTO (%s)\n", state.effectiveMode < 9
                                                ? qPrintable(receiverModeName(state.effectiveMode))
                                                : "unknown");
        else
            std::printf("mode %s\n", qPrintable(receiverModeName(state.mode)));
    } else if (name == QLatin1String("level")) {
        int level = 0;
        if (!driver.readSignalLevel(&level))
            return false;
        std::printf("%d\n", level);
    } else if (name == QLatin1String("standby")) {
        if (!driver.standby())
            return false;
        std::printf("standby\n");
    } else {
        if (!driver.sendExit())
            return false;
        std::printf("exit\n");
    }
    std::fflush(stdout);
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    // Job verbs may draw report charts, which need fonts and so a GUI application; no window is
    // ever shown, so the off-screen platform serves unless the caller chose another. The short
    // commands keep the lighter core application.
    bool hasJob = false;
    for (int i = 1; i < argc; ++i)
        hasJob = hasJob || Cli::find(QString::fromLocal8Bit(argv[i]).toLower());
    if (hasJob && !qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const std::unique_ptr<QCoreApplication> app(hasJob ? new QGuiApplication(argc, argv)
                                                       : new QCoreApplication(argc, argv));
    Cli::setProgramName(QStringLiteral("corvin-rxctl"));
    QStringList words = app->arguments().mid(1);
    QString port;
    QString traceTarget;
    while (!words.isEmpty() && words.first().startsWith(QLatin1String("--"))) {
        const QString option = words.takeFirst();
        if (option == QLatin1String("--help")) {
            std::fputs(qPrintable(usage()), stdout);
            return Success;
        }
        if (option == QLatin1String("--version")) {
            std::printf("corvin-rxctl %s\n", qPrintable(Cli::version()));
            return Success;
        }
        if (option == QLatin1String("--trace") && !words.isEmpty())
            traceTarget = words.takeFirst();
        else if (option.startsWith(QLatin1String("--trace=")))
            traceTarget = option.mid(8);
        else if (option == QLatin1String("--port") && !words.isEmpty())
            port = words.takeFirst();
        else if (option.startsWith(QLatin1String("--port=")))
            port = option.mid(7);
        else
            usageError(QStringLiteral("unknown option %1").arg(option));
    }
    QVector<Command> commands;
    Job job;
    if (port.isEmpty())
        usageError(QStringLiteral("--port is required"));
    if (!parseCommands(words, &commands, &job))
        usageError(QStringLiteral("no command given"));

    Corvindriver driver;
    RxctlSession::setReceiver(&driver, port);
    QObject::connect(&driver, &Corvindriver::serialDiagnostic, [](const QString &message) {
        printErr(QStringLiteral("diagnostic: ") + message);
    });
    QObject::connect(&driver, &Corvindriver::errorOccurred,
                     [](const QString &message) { printErr(QStringLiteral("error: ") + message); });
    std::unique_ptr<SerialTrace> trace;
    if (!traceTarget.isEmpty()) {
        QString error;
        trace = traceTarget == QLatin1String("-") ? SerialTrace::toStandardError()
                                                  : SerialTrace::intoFile(traceTarget, &error);
        if (!trace) {
            printErr(QStringLiteral("error: ") + error);
            return UsageError;
        }
        driver.line().setTrace(trace->observer());
    }
    if (!driver.openPort(port)) {
        printErr(QStringLiteral("error: ") + driver.line().lastError());
        return UsageError;
    }
    for (const Command &command : commands) {
        if (!run(driver, command)) {
            driver.closePort();
            return Failed;
        }
        RxctlSession::noteCommand(command.name);
    }
    const int result = job.verb ? runJob(job) : Success;
    driver.closePort();
    return result;
}
