#pragma once

// corvin-rxsim (the program CORVIN_RXSIM names) as a child process, for tests of the
// command-line tools that open the simulated receiver by its terminal path.

#include <QProcess>
#include <QStringList>

struct SimulatorProcess
{
    // Starts it with the arguments; port gets its terminal path from the first line it prints
    // and stays empty when nothing comes within 5 s.
    explicit SimulatorProcess(const QStringList &arguments)
    {
        process.start(qEnvironmentVariable("CORVIN_RXSIM"), arguments);
        if (process.waitForReadyRead(5000))
            port = QString::fromLocal8Bit(process.readLine()).trimmed();
    }
    ~SimulatorProcess()
    {
        process.terminate();
        if (!process.waitForFinished(3000))
            process.kill();
        process.waitForFinished();
    }
    SimulatorProcess(const SimulatorProcess &) = delete;
    SimulatorProcess &operator=(const SimulatorProcess &) = delete;

    QProcess process;
    QString port;
};
