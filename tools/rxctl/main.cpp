// corvin-rxctl: runs receiver commands through the receiver driver, for scripts and tests.
#include "corvindriver.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStringList>
#include <QVector>

#include <cstdio>

namespace {

enum ExitCode { Success = 0, CommandFailed = 1, UsageError = 2 };

struct Command
{
    QString name;
    qint64 value = 0; // frequency for tune, mode code for mode
};

const char usage[] =
    "usage: corvin-rxctl --port PORT [--trace] COMMAND [ARGS] ...\n"
    "commands (run in order on one open port; the first failure stops the run):\n"
    "  identify       ask the receiver to identify itself\n"
    "  tune HZ        tune to HZ hertz (100000 to 3000000000)\n"
    "  mode NAME|CODE select a mode: WFM NFM AM USB LSB CW SFM WAM NAM AUTO or 0-9\n"
    "  level          read the S-meter (0-255)\n"
    "  standby        put the receiver in standby\n"
    "  exit           send EX (leave remote control)\n"
    "exit status: 0 all succeeded, 1 a command failed, 2 usage error or port not opened\n";

void printErr(const QString &text)
{
    std::fprintf(stderr, "%s\n", qPrintable(text));
}

[[noreturn]] void usageError(const QString &message)
{
    printErr(QStringLiteral("corvin-rxctl: ") + message);
    std::fputs(usage, stderr);
    std::exit(UsageError);
}

bool parseCommands(const QStringList &words, QVector<Command> *commands)
{
    for (int i = 0; i < words.size(); ++i) {
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
    QCoreApplication app(argc, argv);
    QStringList words = app.arguments().mid(1);
    QString port;
    bool trace = false;
    while (!words.isEmpty() && words.first().startsWith(QLatin1String("--"))) {
        const QString option = words.takeFirst();
        if (option == QLatin1String("--help")) {
            std::fputs(usage, stdout);
            return Success;
        }
        if (option == QLatin1String("--trace"))
            trace = true;
        else if (option == QLatin1String("--port") && !words.isEmpty())
            port = words.takeFirst();
        else if (option.startsWith(QLatin1String("--port=")))
            port = option.mid(7);
        else
            usageError(QStringLiteral("unknown option %1").arg(option));
    }
    QVector<Command> commands;
    if (port.isEmpty())
        usageError(QStringLiteral("--port is required"));
    if (!parseCommands(words, &commands))
        usageError(QStringLiteral("no command given"));

    Corvindriver driver;
    QObject::connect(&driver, &Corvindriver::serialDiagnostic, [](const QString &message) {
        printErr(QStringLiteral("diagnostic: ") + message);
    });
    QObject::connect(&driver, &Corvindriver::errorOccurred,
                     [](const QString &message) { printErr(QStringLiteral("error: ") + message); });
    QElapsedTimer clock;
    clock.start();
    if (trace) {
        driver.line().setTrace([&clock](bool sent, const QByteArray &bytes) {
            printErr(QStringLiteral("[%1 ms] %2 %3 | %4")
                         .arg(clock.nsecsElapsed() / 1e6, 10, 'f', 3)
                         .arg(sent ? QStringLiteral("TX") : QStringLiteral("RX"),
                              QString::fromLatin1(bytes.toHex(' ')), SerialLine::printable(bytes)));
        });
    }
    if (!driver.openPort(port)) {
        printErr(QStringLiteral("error: ") + driver.line().lastError());
        return UsageError;
    }
    for (const Command &command : commands) {
        if (!run(driver, command)) {
            driver.closePort();
            return CommandFailed;
        }
    }
    driver.closePort();
    return Success;
}
