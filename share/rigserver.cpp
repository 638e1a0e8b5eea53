#include "rigserver.h"

#include "riglinebuffer.h"

#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

namespace {

// Bytes Qt may read ahead from one client, and answers it may hold unsent, before that
// client is left alone until it catches up.
constexpr qint64 readAheadBytes = 4096;
constexpr qint64 unsentLimitBytes = 64 * 1024;

QString peerText(const QTcpSocket *socket)
{
    const QHostAddress address = socket->peerAddress();
    const QString host = address.protocol() == QAbstractSocket::IPv6Protocol
                             ? QStringLiteral("[%1]").arg(address.toString())
                             : address.toString();
    return QStringLiteral("%1:%2").arg(host).arg(socket->peerPort());
}

} // namespace

// One connected client: its socket, its unfinished input and its idle timer.
class RigClient : public QObject
{
public:
    RigClient(QTcpSocket *clientSocket, RigServer *owner)
        : QObject(owner)
        , socket(clientSocket)
        , peer(peerText(clientSocket))
    {
        socket->setParent(this);
        socket->setReadBufferSize(readAheadBytes);
        idle.setSingleShot(true);
        idle.setInterval(owner->m_idleTimeoutMs);
        idle.start();
    }

    QTcpSocket *socket;
    QString peer;
    RigLineBuffer lines;
    QTimer idle;
    bool turnScheduled = false;
    bool closing = false;
};

RigServer::RigServer(RigBackend &backend, QObject *parent)
    : QObject(parent)
    , m_handler(backend)
{}

RigServer::~RigServer()
{
    close();
}

bool RigServer::listen(const QHostAddress &address, quint16 port, QString *error)
{
    close();
    auto *server = new QTcpServer(this);
    if (!server->listen(address, port)) {
        *error = server->errorString();
        delete server;
        return false;
    }
    m_server = server;
    connect(m_server, &QTcpServer::newConnection, this, &RigServer::acceptClients);
    return true;
}

void RigServer::close()
{
    const QList<RigClient *> clients = m_clients;
    for (RigClient *client : clients) {
        forget(client);
        client->socket->abort();
    }
    delete m_server;
    m_server = nullptr;
}

bool RigServer::isListening() const
{
    return m_server && m_server->isListening();
}

quint16 RigServer::serverPort() const
{
    return isListening() ? m_server->serverPort() : 0;
}

QHostAddress RigServer::serverAddress() const
{
    return isListening() ? m_server->serverAddress() : QHostAddress();
}

QString RigServer::listenText() const
{
    if (!isListening())
        return QString();
    const QHostAddress address = m_server->serverAddress();
    const QString host = address.protocol() == QAbstractSocket::IPv6Protocol
                             ? QStringLiteral("[%1]").arg(address.toString())
                             : address.toString();
    return QStringLiteral("%1:%2").arg(host).arg(m_server->serverPort());
}

void RigServer::acceptClients()
{
    while (QTcpSocket *socket = m_server->nextPendingConnection()) {
        if (m_clients.size() >= maxClients) {
            emit logMessage(tr("Network client %1 refused: %2 clients are already connected.")
                                .arg(peerText(socket))
                                .arg(maxClients));
            socket->abort();
            socket->deleteLater();
            continue;
        }
        auto *client = new RigClient(socket, this);
        m_clients.append(client);
        const QPointer<RigClient> guard(client);
        connect(socket, &QTcpSocket::readyRead, client, [this, client] {
            client->idle.start();
            serve(client);
        });
        // A client that stopped reading its answers is served again once they are out.
        connect(socket, &QTcpSocket::bytesWritten, client, [this, client] { serve(client); });
        connect(socket, &QTcpSocket::disconnected, client, [this, client] {
            emit logMessage(tr("Network client %1 disconnected.").arg(client->peer));
            forget(client);
        });
        connect(&client->idle, &QTimer::timeout, client, [this, client] {
            emit logMessage(tr("Network client %1 dropped after 10 minutes without a command.")
                                .arg(client->peer));
            forget(client);
            client->socket->abort();
        });
        emit logMessage(tr("Network client %1 connected.").arg(client->peer));
        emit clientCountChanged(m_clients.size());
        // Commands may have arrived with the connection.
        if (guard && socket->bytesAvailable() > 0)
            serve(client);
    }
}

void RigServer::serve(RigClient *client)
{
    if (client->closing)
        return;
    QTcpSocket *socket = client->socket;
    int served = 0;
    while (served < linesPerTurn) {
        if (socket->bytesToWrite() > unsentLimitBytes)
            return; // bytesWritten brings it back
        client->lines.append(socket->readAll());
        QByteArray line;
        const RigLineBuffer::Take taken = client->lines.take(&line);
        if (taken == RigLineBuffer::Take::None)
            return;
        ++served;
        bool quit = false;
        const QByteArray answer = taken == RigLineBuffer::Take::TooLong
                                      ? QByteArrayLiteral("RPRT -1\n")
                                      : m_handler.execute(RigCommand::parse(line), &quit);
        socket->write(answer);
        if (quit) {
            client->closing = true;
            socket->disconnectFromHost();
            return;
        }
    }
    // More is waiting: let the other clients (and the rest of the program) go first.
    if (!client->turnScheduled) {
        client->turnScheduled = true;
        QTimer::singleShot(0, client, [this, client] {
            client->turnScheduled = false;
            serve(client);
        });
    }
}

void RigServer::forget(RigClient *client)
{
    if (!m_clients.removeOne(client))
        return;
    client->closing = true;
    client->idle.stop();
    client->socket->disconnect(client);
    client->deleteLater();
    emit clientCountChanged(m_clients.size());
}

bool RigServer::parseListenAddress(const QString &text, QHostAddress *address, quint16 *port,
                                   QString *error)
{
    QString host = text.trimmed();
    QString portText;
    if (host.startsWith(QLatin1Char('['))) {
        const int close = host.indexOf(QLatin1Char(']'));
        if (close < 0) {
            *error = tr("Missing \"]\" in %1.").arg(text);
            return false;
        }
        const QString rest = host.mid(close + 1);
        host = host.mid(1, close - 1);
        if (!rest.isEmpty()) {
            if (!rest.startsWith(QLatin1Char(':'))) {
                *error = tr("Not an address and port: %1").arg(text);
                return false;
            }
            portText = rest.mid(1);
        }
    } else if (host.count(QLatin1Char(':')) == 1) {
        portText = host.section(QLatin1Char(':'), 1);
        host = host.section(QLatin1Char(':'), 0, 0);
    }
    if (!portText.isEmpty()) {
        bool ok = false;
        const uint value = portText.toUInt(&ok);
        if (!ok || value == 0 || value > 65535) {
            *error = tr("Not a port number: %1").arg(portText);
            return false;
        }
        *port = static_cast<quint16>(value);
    }
    if (!host.isEmpty()) {
        QHostAddress parsed;
        if (!parsed.setAddress(host)) {
            *error = tr("Not an IP address: %1").arg(host);
            return false;
        }
        *address = parsed;
    }
    return true;
}
