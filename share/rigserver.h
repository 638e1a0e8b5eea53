#pragma once

#include "righandler.h"

#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QString>

class QTcpServer;
class RigClient;

// Shares a receiver with other programs over the rigctld network protocol (TCP, default port
// 4532): loggers, decoders and satellite trackers read and set its frequency through it.
//
// Runs on the receiver's thread (the GUI thread in the program): every request reaches the
// backend there, so none interleaves with another exchange. At most maxClients clients at
// once (the next is refused), lines of at most 1 KiB, a client silent for idleTimeoutMs is
// dropped, and no client is served more than linesPerTurn lines before the others get their
// turn, so a client that floods or sends garbage cannot hold up the rest.
class RigServer : public QObject
{
    Q_OBJECT

public:
    static constexpr quint16 defaultPort = 4532;
    static constexpr int maxClients = 8;
    static constexpr int idleTimeoutMs = 10 * 60 * 1000;
    static constexpr int linesPerTurn = 16;

    explicit RigServer(RigBackend &backend, QObject *parent = nullptr);
    ~RigServer() override;

    // Starts listening; on failure `error` tells why and the server stays closed.
    bool listen(const QHostAddress &address, quint16 port, QString *error);
    // Drops every client and stops listening.
    void close();
    bool isListening() const;
    // "127.0.0.1:4532" while listening (the port actually bound), empty otherwise.
    QString listenText() const;
    quint16 serverPort() const;
    QHostAddress serverAddress() const;
    int clientCount() const { return m_clients.size(); }

    // For tests: how long a silent client may stay.
    void setIdleTimeoutMs(int ms) { m_idleTimeoutMs = ms; }

    // "ADDR:PORT", "[IPv6]:PORT", "ADDR" or ":PORT" (the missing part taken from the given
    // defaults). False with `error` for anything else.
    static bool parseListenAddress(const QString &text, QHostAddress *address, quint16 *port,
                                   QString *error);

signals:
    void clientCountChanged(int count);
    // A client connected, left, was refused or dropped: one line for the log.
    void logMessage(const QString &message);

private:
    friend class RigClient;
    void acceptClients();
    void serve(RigClient *client);
    void forget(RigClient *client);

    RigHandler m_handler;
    QTcpServer *m_server = nullptr;
    QList<RigClient *> m_clients;
    int m_idleTimeoutMs = idleTimeoutMs;
};
