#pragma once

#include "propagationdata.h"

#include <QObject>
#include <QUrl>

#include <functional>

class QNetworkAccessManager;
class HttpDownload;

// How the propagation downloads reach the network: one GET per call, answered once with a
// Download (the body, or an error text). GUI thread: get() returns at once and the completion
// runs later from the event loop, never from inside get().
class HttpTransport
{
public:
    using Completion = std::function<void(const Download &)>;

    virtual ~HttpTransport() = default;

    virtual void get(const QUrl &url, Completion done) = 0;
    // Drops every pending download; their completions are not called.
    virtual void abortAll() = 0;

protected:
    HttpTransport() = default;
};

// HttpTransport over Qt Network, asynchronous on the calling (GUI) thread. Per download: TLS
// peer verification always on; the system proxy (none for loopback hosts); at most 10
// redirects, never from HTTPS to HTTP; the User-Agent "Corvin/<version> (Propagation)".
// Failures:
//   - no progress for stallTimeout before the response headers: "... (Qt Network 4)";
//   - a status other than 200: "HTTP <status>";
//   - a Content-Length, or a decoded body, above 2 MB: "Response exceeded 2 MB";
//   - the body not complete within bodyTimeout of the headers: "Response timed out";
//   - the connection closed before the announced length or the last chunk:
//     "Response incomplete";
//   - anything else: "<Qt's description> (Qt Network <QNetworkReply::NetworkError code>)".
class QtHttpTransport : public QObject, public HttpTransport
{
    Q_OBJECT

public:
    static constexpr qint64 maxBodyBytes = 2097152;
    static constexpr int defaultTimeoutMs = 10000;
    static constexpr int maxRedirects = 10;

    explicit QtHttpTransport(QObject *parent = nullptr);
    ~QtHttpTransport() override;

    void get(const QUrl &url, Completion done) override;
    void abortAll() override;

    // Time-outs in ms (both 10 s unless a test shortens them).
    void setTimeouts(int stallTimeoutMs, int bodyTimeoutMs);

    static QByteArray userAgent();

private:
    void finish(HttpDownload *download);

    QNetworkAccessManager *m_manager = nullptr;
    QList<HttpDownload *> m_downloads;
    int m_stallTimeoutMs = defaultTimeoutMs;
    int m_bodyTimeoutMs = defaultTimeoutMs;
};
