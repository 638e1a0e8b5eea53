#include "loopbackhttpserver.h"

#include <QFile>
#include <QSslSocket>
#include <QTimer>

QByteArray fixture(const QString &name)
{
    QFile file(QString::fromLocal8Bit(qgetenv("CORVIN_SOURCE_DIR")) +
               QStringLiteral("/tests/propagation/fixtures/") + name);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing fixture %s", qPrintable(name));
    return file.readAll();
}

LoopbackHttpServer::LoopbackHttpServer(QObject *parent)
    : QTcpServer(parent)
{}

bool LoopbackHttpServer::start(const QSslCertificate &certificate, const QSslKey &key)
{
    m_certificate = certificate;
    m_key = key;
    return listen(QHostAddress::LocalHost, 0);
}

QUrl LoopbackHttpServer::baseUrl() const
{
    return QUrl(QStringLiteral("%1://127.0.0.1:%2")
                    .arg(m_certificate.isNull() ? QStringLiteral("http") : QStringLiteral("https"))
                    .arg(serverPort()));
}

void LoopbackHttpServer::route(const QByteArray &path, const Response &response)
{
    m_routes.insert(path, response);
}

void LoopbackHttpServer::routeFile(const QByteArray &path, const QString &file)
{
    Response response;
    response.body = fixture(file);
    route(path, response);
}

void LoopbackHttpServer::incomingConnection(qintptr descriptor)
{
    if (m_certificate.isNull()) {
        auto *socket = new QTcpSocket(this);
        socket->setSocketDescriptor(descriptor);
        serve(socket);
        return;
    }
    auto *socket = new QSslSocket(this);
    socket->setSocketDescriptor(descriptor);
    socket->setLocalCertificate(m_certificate);
    socket->setPrivateKey(m_key);
    serve(socket);
    socket->startServerEncryption();
}

void LoopbackHttpServer::serve(QTcpSocket *socket)
{
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QObject::destroyed, this, [this, socket] { m_buffers.remove(socket); });
    connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
        QByteArray &buffer = m_buffers[socket];
        buffer += socket->readAll();
        const int end = buffer.indexOf("\r\n\r\n");
        if (end < 0)
            return;
        const QList<QByteArray> lines = buffer.left(end).split('\n');
        buffer.remove(0, end + 4);
        Request request;
        request.path = lines.value(0).split(' ').value(1);
        for (int i = 1; i < lines.size(); ++i) {
            const int colon = lines[i].indexOf(':');
            if (colon > 0)
                request.headers.insert(lines[i].left(colon).trimmed().toLower(),
                                       lines[i].mid(colon + 1).trimmed());
        }
        requests.append(request);
        answer(socket, request);
    });
}

void LoopbackHttpServer::answer(QTcpSocket *socket, const Request &request)
{
    if (!m_routes.contains(request.path)) {
        socket->write("HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n");
        return;
    }
    const Response response = m_routes.value(request.path);
    if (response.neverAnswer)
        return;
    QByteArray head = "HTTP/1.1 " + QByteArray::number(response.status) + " Status\r\n";
    for (const auto &header : response.headers)
        head += header.first + ": " + header.second + "\r\n";
    QByteArray payload = response.body;
    switch (response.framing) {
    case Response::Framing::Length:
        head += "Content-Length: " + QByteArray::number(payload.size()) + "\r\n";
        break;
    case Response::Framing::Chunked:
        head += "Transfer-Encoding: chunked\r\n";
        payload = QByteArray::number(payload.size(), 16) + "\r\n" + payload + "\r\n0\r\n\r\n";
        break;
    case Response::Framing::Close:
        head += "Connection: close\r\n";
        break;
    }
    socket->write(head + "\r\n");
    const int limit = response.cutAfter >= 0 ? response.cutAfter : response.stallAfter;
    if (limit >= 0)
        payload.truncate(limit);
    const bool close = response.cutAfter >= 0 || response.framing == Response::Framing::Close;
    if (response.trickleMs <= 0) {
        socket->write(payload);
        if (close)
            socket->disconnectFromHost();
        return;
    }
    auto *timer = new QTimer(socket);
    auto sent = std::make_shared<int>(0);
    connect(timer, &QTimer::timeout, socket, [socket, timer, payload, sent, close] {
        if (*sent >= payload.size()) {
            timer->stop();
            if (close)
                socket->disconnectFromHost();
            return;
        }
        socket->write(payload.mid((*sent)++, 1));
    });
    timer->start(response.trickleMs);
}
