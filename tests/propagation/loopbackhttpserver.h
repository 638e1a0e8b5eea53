#pragma once

// A small HTTP/1.1 server on 127.0.0.1 for the propagation tests: each path answers with a
// scripted response, which may also misbehave (cut the body, stall, trickle, never answer).
// Optionally TLS with a certificate the test supplies. Records what it was asked. Runs on the
// test's thread; the test must keep the event loop turning while a client waits.

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QPair>
#include <QSslCertificate>
#include <QSslKey>
#include <QTcpServer>
#include <QUrl>

class QTcpSocket;

class LoopbackHttpServer : public QTcpServer
{
    Q_OBJECT

public:
    struct Response
    {
        int status = 200;
        QList<QPair<QByteArray, QByteArray>> headers;
        QByteArray body;
        enum class Framing { Length, Chunked, Close } framing = Framing::Length;
        // Sends only this many body bytes (of the chunked stream, when chunked), then closes
        // the connection (-1: all of it).
        int cutAfter = -1;
        // Sends only this many body bytes and then nothing, keeping the connection open.
        int stallAfter = -1;
        bool neverAnswer = false; // reads the request and keeps silent
        int trickleMs = 0;        // sends the body one byte per interval
    };

    explicit LoopbackHttpServer(QObject *parent = nullptr);

    // Listens on 127.0.0.1 (a free port); with TLS when a certificate and key are given.
    bool start(const QSslCertificate &certificate = QSslCertificate(),
               const QSslKey &key = QSslKey());
    // "http://127.0.0.1:PORT" or "https://...".
    QUrl baseUrl() const;

    void route(const QByteArray &path, const Response &response);
    // A 200 with the file's bytes.
    void routeFile(const QByteArray &path, const QString &file);

    struct Request
    {
        QByteArray path;
        QHash<QByteArray, QByteArray> headers; // names lower-cased
    };
    QList<Request> requests;

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    void serve(QTcpSocket *socket);
    void answer(QTcpSocket *socket, const Request &request);

    QHash<QByteArray, Response> m_routes;
    QHash<QTcpSocket *, QByteArray> m_buffers; // request bytes not yet answered
    QSslCertificate m_certificate;
    QSslKey m_key;
};

// The fixture file's bytes (tests/propagation/fixtures).
QByteArray fixture(const QString &name);

Q_DECLARE_METATYPE(LoopbackHttpServer::Response)
