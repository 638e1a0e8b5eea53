#include "httptransport.h"

#include <QCoreApplication>
#include <QHostAddress>
#include <QNetworkAccessManager>
#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QTimer>

#ifndef CORVIN_VERSION
#error "CORVIN_VERSION must name the program's version"
#endif

namespace {

// The system's proxy settings, except for loopback hosts, which no proxy can reach.
class SystemProxyFactory : public QNetworkProxyFactory
{
public:
    QList<QNetworkProxy> queryProxy(const QNetworkProxyQuery &query) override
    {
        const QString host = query.peerHostName();
        const QHostAddress address(host);
        if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0 ||
            (!address.isNull() && address.isLoopback()))
            return {QNetworkProxy(QNetworkProxy::NoProxy)};
        return systemProxyForQuery(query);
    }
};

QString text(const char *source)
{
    return QCoreApplication::translate("QtHttpTransport", source);
}

} // namespace

// One GET in flight: watches the reply's progress, enforces the time-outs and the size cap,
// and reports once.
class HttpDownload : public QObject
{
public:
    HttpDownload(QNetworkReply *reply, int stallTimeoutMs, int bodyTimeoutMs,
                 HttpTransport::Completion done, QObject *parent)
        : QObject(parent)
        , m_reply(reply)
        , m_done(std::move(done))
    {
        m_reply->setParent(this);
        // Read as it arrives: what is buffered in Qt stays small even for a long body.
        m_reply->setReadBufferSize(64 * 1024);
        m_stall.setSingleShot(true);
        m_stall.setInterval(stallTimeoutMs);
        m_bodyTimer.setSingleShot(true);
        m_bodyTimer.setInterval(bodyTimeoutMs);
        connect(&m_stall, &QTimer::timeout, this, [this] {
            fail(QStringLiteral("%1 (Qt Network %2)")
                     .arg(text(QT_TRANSLATE_NOOP("QtHttpTransport", "No response from the server")))
                     .arg(int(QNetworkReply::TimeoutError)));
        });
        connect(&m_bodyTimer, &QTimer::timeout, this,
                [this] { fail(text(QT_TRANSLATE_NOOP("QtHttpTransport", "Response timed out"))); });
        // Each step towards the headers (TLS set up, request sent, a redirect followed) gives
        // the server a fresh budget, as per-call time-outs would.
        const auto progress = [this] {
            if (!m_headersSeen)
                m_stall.start();
        };
        connect(m_reply, &QNetworkReply::encrypted, this, progress);
        connect(m_reply, &QNetworkReply::uploadProgress, this, progress);
        connect(m_reply, &QNetworkReply::redirected, this, progress);
        connect(m_reply, &QNetworkReply::metaDataChanged, this, &HttpDownload::onHeaders);
        connect(m_reply, &QNetworkReply::readyRead, this, &HttpDownload::onReadyRead);
        connect(m_reply, &QNetworkReply::finished, this, &HttpDownload::onFinished);
        m_stall.start();
    }

    ~HttpDownload() override { drop(); }

    // Ends the download without reporting. The reply goes from the event loop, which also
    // ends its transfer; aborting it here would race the error Qt may have queued for it.
    void drop()
    {
        m_finished = true;
        m_stall.stop();
        m_bodyTimer.stop();
        if (m_reply) {
            m_reply->disconnect(this);
            m_reply->deleteLater();
            m_reply = nullptr;
        }
    }

    HttpTransport::Completion takeCompletion() { return std::move(m_done); }
    const Download &result() const { return m_result; }

    // Set by the transport: called once with this download when it ends.
    std::function<void(HttpDownload *)> ended;

private:
    int status() const
    {
        return m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    }

    // The final response's headers: the status and the announced length decide at once.
    bool checkHeaders()
    {
        const int code = status();
        if (code == 0 || (code >= 300 && code < 400 && !m_reply->isFinished()))
            return true; // a redirect Qt follows, or no response yet
        if (!m_headersSeen) {
            m_headersSeen = true;
            m_stall.stop();
            m_bodyTimer.start();
        }
        if (code != 200) {
            fail(QStringLiteral("HTTP %1").arg(code));
            return false;
        }
        const QVariant length = m_reply->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid() && length.toLongLong() > QtHttpTransport::maxBodyBytes) {
            failTooLarge();
            return false;
        }
        return true;
    }

    void onHeaders()
    {
        if (!m_finished)
            checkHeaders();
    }

    void onReadyRead()
    {
        // Nothing is read before the final response's headers (a redirect's body is not ours).
        if (m_finished || !checkHeaders() || !m_headersSeen)
            return;
        const qint64 available = m_reply->bytesAvailable();
        if (m_body.size() + available > QtHttpTransport::maxBodyBytes) {
            failTooLarge();
            return;
        }
        m_body += m_reply->read(available);
    }

    void onFinished()
    {
        if (m_finished)
            return;
        const QNetworkReply::NetworkError error = m_reply->error();
        if (error != QNetworkReply::NoError && status() != 0 && status() != 200 &&
            !(status() >= 300 && status() < 400)) {
            fail(QStringLiteral("HTTP %1").arg(status()));
            return;
        }
        // Qt reports a close before the announced length or the last chunk as a closed
        // connection; after the headers that means the body was cut.
        if (error == QNetworkReply::RemoteHostClosedError && m_headersSeen) {
            fail(text(QT_TRANSLATE_NOOP("QtHttpTransport", "Response incomplete")));
            return;
        }
        if (error != QNetworkReply::NoError) {
            fail(QStringLiteral("%1 (Qt Network %2)").arg(m_reply->errorString()).arg(int(error)));
            return;
        }
        if (!checkHeaders())
            return;
        onReadyRead();
        if (m_finished)
            return;
        end({m_body, QString()});
    }

    void failTooLarge()
    {
        fail(text(QT_TRANSLATE_NOOP("QtHttpTransport", "Response exceeded 2 MB")));
    }

    void fail(const QString &message) { end({QByteArray(), message}); }

    void end(const Download &result)
    {
        if (m_finished)
            return;
        m_result = result;
        drop();
        m_body.clear();
        if (ended)
            ended(this);
    }

    QPointer<QNetworkReply> m_reply;
    HttpTransport::Completion m_done;
    QTimer m_stall;
    QTimer m_bodyTimer;
    QByteArray m_body;
    Download m_result;
    bool m_headersSeen = false;
    bool m_finished = false;
};

QtHttpTransport::QtHttpTransport(QObject *parent)
    : QObject(parent)
    , m_manager(new QNetworkAccessManager(this))
{
    m_manager->setProxyFactory(new SystemProxyFactory);
    m_manager->setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
}

QtHttpTransport::~QtHttpTransport()
{
    abortAll();
}

QByteArray QtHttpTransport::userAgent()
{
    return QByteArrayLiteral("Corvin/" CORVIN_VERSION " (Propagation)");
}

void QtHttpTransport::setTimeouts(int stallTimeoutMs, int bodyTimeoutMs)
{
    m_stallTimeoutMs = stallTimeoutMs;
    m_bodyTimeoutMs = bodyTimeoutMs;
}

void QtHttpTransport::get(const QUrl &url, Completion done)
{
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::UserAgentHeader, userAgent());
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(maxRedirects);
    auto *download = new HttpDownload(m_manager->get(request), m_stallTimeoutMs, m_bodyTimeoutMs,
                                      std::move(done), this);
    download->ended = [this](HttpDownload *ended) { finish(ended); };
    m_downloads.append(download);
}

void QtHttpTransport::finish(HttpDownload *download)
{
    m_downloads.removeOne(download);
    const Completion done = download->takeCompletion();
    const Download result = download->result();
    // The reply may still be inside its own signal: delete it from the event loop.
    download->deleteLater();
    if (done)
        done(result);
}

void QtHttpTransport::abortAll()
{
    const QList<HttpDownload *> pending = m_downloads;
    m_downloads.clear();
    for (HttpDownload *download : pending) {
        download->drop();
        download->deleteLater();
    }
}
