// corvin-rxctl ... serve [--listen ADDR:PORT]: shares the open receiver with other programs
// over the rigctld network protocol until SIGINT or SIGTERM.
#include "cli.h"
#include "corvindriver.h"
#include "driverrigbackend.h"
#include "linkrecovery.h"
#include "rigserver.h"
#include "rxctlsession.h"

#include <QEventLoop>
#include <QTimer>

namespace {

constexpr int stopCheckMs = 100;

int runServe(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    QHostAddress address(QHostAddress::LocalHost);
    quint16 port = RigServer::defaultPort;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        QString value;
        if (argument == QLatin1String("--listen") && i + 1 < arguments.size())
            value = arguments[++i];
        else if (argument.startsWith(QLatin1String("--listen=")))
            value = argument.mid(9);
        else {
            err << "error: unexpected argument " << argument << '\n';
            Cli::printUsage("serve", err);
            return Cli::UsageError;
        }
        QString error;
        if (!RigServer::parseListenAddress(value, &address, &port, &error)) {
            err << "error: " << error << '\n';
            return Cli::UsageError;
        }
    }

    // Set before anything is announced: a Stop that comes early still ends cleanly.
    Cli::StopSignals stop;
    Corvindriver &driver = RxctlSession::driver();
    DriverRigBackend backend(driver);
    if (!backend.seedFromReceiver())
        err << "warning: the receiver did not report its frequency and mode\n";
    RigServer server(backend);
    QString error;
    if (!server.listen(address, port, &error)) {
        err << "error: cannot listen on " << address.toString() << ':' << port << ": " << error
            << '\n';
        return Cli::UsageError;
    }
    QObject::connect(&server, &RigServer::logMessage, [&err](const QString &message) {
        err << message << '\n';
        err.flush();
    });
    out << "listening on " << server.listenText() << '\n';
    out.flush();

    QEventLoop loop;
    // An adapter that went away is looked for every second, as in the program.
    LinkRecovery recovery(driver);
    bool gaveUp = false;
    QObject::connect(
        &driver, &Corvindriver::linkLost, &recovery,
        [&] {
            err << "receiver link lost (" << driver.line().lastError()
                << "), reconnecting every second\n";
            err.flush();
            driver.closePort();
            recovery.start(RxctlSession::portName());
        },
        Qt::QueuedConnection);
    QObject::connect(&recovery, &LinkRecovery::progress, [&err](const QString &message) {
        err << message << '\n';
        err.flush();
    });
    QObject::connect(&recovery, &LinkRecovery::recovered, [&] {
        err << (backend.restoreReceiver() ? "frequency and mode restored\n"
                                          : "warning: frequency and mode not restored\n");
        err.flush();
    });
    QObject::connect(&recovery, &LinkRecovery::gaveUp, &loop, [&] {
        gaveUp = true;
        loop.quit();
    });
    QTimer stopCheck;
    QObject::connect(&stopCheck, &QTimer::timeout, &loop, [&] {
        if (stop.requested())
            loop.quit();
    });
    stopCheck.start(stopCheckMs);
    loop.exec();
    server.close();
    if (gaveUp) {
        err << "error: the receiver did not come back\n";
        return Cli::Failed;
    }
    err << "stopped\n";
    return Cli::Success;
}

const bool registered =
    Cli::add({"serve", "[--listen ADDR:PORT]",
              "share the receiver over the rigctld network protocol (default 127.0.0.1:4532) until "
              "Ctrl-C",
              &runServe});

} // namespace
