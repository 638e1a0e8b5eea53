#pragma once

// Runs one of the project's command-line tools as a user runs it and collects what it printed.

#include <QByteArray>
#include <QProcess>
#include <QStringList>

namespace ToolRun {

struct Result
{
    int exitCode = -1; // -1: it did not finish in time
    QByteArray out;
    QByteArray err;
};

// Gives the tool this process's environment with CORVIN_DATA_DIR set to folder.
inline void setDataFolder(QProcess &tool, const QString &folder)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("CORVIN_DATA_DIR"), folder);
    tool.setProcessEnvironment(environment);
}

inline Result run(const QString &program, const QStringList &arguments, int timeoutMs = 120000)
{
    QProcess tool;
    tool.start(program, arguments);
    if (!tool.waitForFinished(timeoutMs)) {
        tool.kill();
        tool.waitForFinished();
        return {};
    }
    return {tool.exitCode(), tool.readAllStandardOutput(), tool.readAllStandardError()};
}

} // namespace ToolRun
