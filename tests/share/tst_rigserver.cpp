// The TCP server's limits against hostile clients: the client cap, over-long lines, idle
// clients, floods and pipelined requests; and the listen address forms.
#include "fakerigbackend.h"
#include "rigserver.h"
#include "rigtestclient.h"

#include <QSignalSpy>
#include <QTcpSocket>
#include <QTest>

#include <memory>
#include <vector>

namespace {

// A receiver whose tune takes a while, like a serial exchange.
class SlowBackend : public FakeRigBackend
{
public:
    Result tune(qint64 hertz) override
    {
        QTest::qSleep(2);
        return FakeRigBackend::tune(hertz);
    }
};

std::unique_ptr<QTcpSocket> connectTo(const RigServer &server)
{
    auto socket = std::make_unique<QTcpSocket>();
    socket->connectToHost(QHostAddress::LocalHost, server.serverPort());
    return socket->waitForConnected(5000) ? std::move(socket) : nullptr;
}

} // namespace

class RigServerTest : public QObject
{
    Q_OBJECT

private slots:
    void ninthClientRefused();
    void pipelinedAnswersInOrder();
    void overLongLineReported();
    void idleClientDropped();
    void floodDoesNotStarveOthers();
    void listenAddress_data();
    void listenAddress();
};

void RigServerTest::ninthClientRefused()
{
    FakeRigBackend backend;
    RigServer server(backend);
    QString error;
    QVERIFY2(server.listen(QHostAddress::LocalHost, 0, &error), qPrintable(error));
    QSignalSpy log(&server, &RigServer::logMessage);
    std::vector<std::unique_ptr<QTcpSocket>> clients;
    for (int i = 0; i < RigServer::maxClients; ++i) {
        clients.push_back(connectTo(server));
        QVERIFY(clients.back());
    }
    QTRY_COMPARE(server.clientCount(), RigServer::maxClients);
    auto ninth = connectTo(server);
    QVERIFY(ninth);
    QTRY_COMPARE(ninth->state(), QAbstractSocket::UnconnectedState);
    QCOMPARE(server.clientCount(), RigServer::maxClients);
    QVERIFY(log.last().first().toString().contains(
        QLatin1String("refused: 8 clients are already connected.")));
    // The others are still served, and a place that frees up can be taken.
    clients.front()->write("f\n");
    QCOMPARE(RigTestClient::ask(*clients.front(), {}, 1), QByteArray("7050000\n"));
    clients.front()->disconnectFromHost();
    QTRY_COMPARE(server.clientCount(), RigServer::maxClients - 1);
    auto later = connectTo(server);
    QVERIFY(later);
    later->write("v\n");
    QCOMPARE(RigTestClient::ask(*later, {}, 1), QByteArray("VFOA\n"));
}

void RigServerTest::pipelinedAnswersInOrder()
{
    FakeRigBackend backend;
    RigServer server(backend);
    QString error;
    QVERIFY(server.listen(QHostAddress::LocalHost, 0, &error));
    auto client = connectTo(server);
    QVERIFY(client);
    client->write("f\nF 7100000\r\n+f\nm\nq\nf\n");
    QCOMPARE(RigTestClient::ask(*client, {}, 8),
             QByteArray("7050000\nRPRT 0\nget_freq:\nFrequency: 7100000\nRPRT 0\nUSB\n2400\n"
                        "RPRT 0\n"));
    // "q" ends the session: what followed it is not answered.
    QTRY_COMPARE(client->state(), QAbstractSocket::UnconnectedState);
    QCOMPARE(client->readAll(), QByteArray());
}

void RigServerTest::overLongLineReported()
{
    FakeRigBackend backend;
    RigServer server(backend);
    QString error;
    QVERIFY(server.listen(QHostAddress::LocalHost, 0, &error));
    auto client = connectTo(server);
    QVERIFY(client);
    // 64 KiB without a line end, then a command.
    client->write(QByteArray(64 * 1024, 'F'));
    client->write("\nf\n");
    QCOMPARE(RigTestClient::ask(*client, {}, 2), QByteArray("RPRT -1\n7050000\n"));
    QVERIFY(backend.tunes.isEmpty());
}

void RigServerTest::idleClientDropped()
{
    FakeRigBackend backend;
    RigServer server(backend);
    server.setIdleTimeoutMs(300);
    QString error;
    QVERIFY(server.listen(QHostAddress::LocalHost, 0, &error));
    QSignalSpy log(&server, &RigServer::logMessage);
    auto quiet = connectTo(server);
    auto busy = connectTo(server);
    QVERIFY(quiet && busy);
    for (int i = 0; i < 6; ++i) {
        busy->write("f\n");
        QCOMPARE(RigTestClient::ask(*busy, {}, 1), QByteArray("7050000\n"));
        QTest::qWait(100);
    }
    QCOMPARE(quiet->state(), QAbstractSocket::UnconnectedState);
    QCOMPARE(busy->state(), QAbstractSocket::ConnectedState);
    QCOMPARE(server.clientCount(), 1);
    bool dropped = false;
    for (const QList<QVariant> &message : log)
        dropped = dropped || message.first().toString().contains(QLatin1String("dropped after"));
    QVERIFY(dropped);
}

// A client that floods the server with sets does not keep another waiting until it is done.
void RigServerTest::floodDoesNotStarveOthers()
{
    SlowBackend backend;
    RigServer server(backend);
    QString error;
    QVERIFY(server.listen(QHostAddress::LocalHost, 0, &error));
    auto flood = connectTo(server);
    auto other = connectTo(server);
    QVERIFY(flood && other);
    QTRY_COMPARE(server.clientCount(), 2);
    constexpr int floodLines = 400;
    QByteArray lines;
    for (int i = 0; i < floodLines; ++i)
        lines += "F 7000000\n";
    flood->write(lines);
    flood->flush();
    QTRY_VERIFY(!backend.tunes.isEmpty());
    other->write("F 7123000\n");
    QCOMPARE(RigTestClient::ask(*other, {}, 1), QByteArray("RPRT 0\n"));
    const int position = backend.tunes.indexOf(7123000);
    QVERIFY2(position >= 0 && position < floodLines / 2, qPrintable(QString::number(position)));
    QCOMPARE(RigTestClient::ask(*flood, {}, floodLines).count('\n'), floodLines);
}

void RigServerTest::listenAddress_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QString>("address");
    QTest::addColumn<int>("port");
    QTest::newRow("both") << "0.0.0.0:4533" << true << "0.0.0.0" << 4533;
    QTest::newRow("address only") << "192.168.1.5" << true << "192.168.1.5" << 4532;
    QTest::newRow("port only") << ":5000" << true << "127.0.0.1" << 5000;
    QTest::newRow("IPv6 with port") << "[::1]:4540" << true << "::1" << 4540;
    QTest::newRow("IPv6 alone") << "[::]" << true << "::" << 4532;
    QTest::newRow("host name") << "localhost:4532" << false << "" << 0;
    QTest::newRow("port zero") << "127.0.0.1:0" << false << "" << 0;
    QTest::newRow("port too big") << "127.0.0.1:70000" << false << "" << 0;
    QTest::newRow("unclosed bracket") << "[::1:4532" << false << "" << 0;
}

void RigServerTest::listenAddress()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(QString, address);
    QFETCH(int, port);
    QHostAddress parsed(QHostAddress::LocalHost);
    quint16 parsedPort = RigServer::defaultPort;
    QString error;
    QCOMPARE(RigServer::parseListenAddress(text, &parsed, &parsedPort, &error), valid);
    QCOMPARE(error.isEmpty(), valid);
    if (!valid)
        return;
    QCOMPARE(parsed, QHostAddress(address));
    QCOMPARE(int(parsedPort), port);
}

QTEST_GUILESS_MAIN(RigServerTest)
#include "tst_rigserver.moc"
