#pragma once

// A test's side of the network protocol: a free loopback port and a blocking question.

#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

namespace RigTestClient {

// A loopback port nobody listens on at the moment.
inline quint16 freePort()
{
    QTcpServer probe;
    return probe.listen(QHostAddress::LocalHost, 0) ? probe.serverPort() : 0;
}

// Sends `line` (when not empty) and reads until `lines` lines came back or 10 s passed. Events
// run meanwhile, so a server on the test's own thread answers too.
inline QByteArray ask(QTcpSocket &socket, const QByteArray &line, int lines = 1)
{
    if (!line.isEmpty())
        socket.write(line + '\n');
    QByteArray answer;
    QElapsedTimer clock;
    clock.start();
    while (answer.count('\n') < lines && clock.elapsed() < 10000) {
        QTest::qWait(2);
        answer += socket.readAll();
    }
    return answer;
}

} // namespace RigTestClient
