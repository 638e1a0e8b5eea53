#include "httptransport.h"
#include "loopbackhttpserver.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QSignalSpy>
#include <QSslSocket>
#include <QTemporaryDir>
#include <QtTest>

#include <zlib.h>

// The Qt Network transport against a server of our own on the loopback interface: statuses,
// size caps (declared, decoded, compressed), cut and stalled bodies, time-outs, redirects, TLS
// verification and the User-Agent. Each download reports exactly once.
class TestHttpTransport : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void answer_data();
    void answer();
    void gzipBombStopsAtTheCap();
    void stallBeforeHeadersRealTimeout();
    void redirectsAtMostTen();
    void tlsVerifiedAndNeverDowngraded();
    void userAgentNamesTheProgram();
    void abortDropsCompletions();

private:
    // Runs one GET; fails the test unless it completes exactly once within the time.
    Download fetch(QtHttpTransport &transport, const QByteArray &path, int timeoutMs = 5000);

    LoopbackHttpServer m_server;
};

namespace {

using Response = LoopbackHttpServer::Response;

constexpr int shortStallMs = 300;
constexpr int shortBodyMs = 600;

QByteArray gzip(const QByteArray &data)
{
    z_stream stream{};
    deflateInit2(&stream, 9, Z_DEFLATED, 16 + MAX_WBITS, 9, Z_DEFAULT_STRATEGY);
    QByteArray out(int(deflateBound(&stream, uLong(data.size()))), Qt::Uninitialized);
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.constData()));
    stream.avail_in = uInt(data.size());
    stream.next_out = reinterpret_cast<Bytef *>(out.data());
    stream.avail_out = uInt(out.size());
    deflate(&stream, Z_FINISH);
    out.truncate(int(stream.total_out));
    deflateEnd(&stream);
    return out;
}

} // namespace

void TestHttpTransport::initTestCase()
{
    QVERIFY(m_server.start());
}

Download TestHttpTransport::fetch(QtHttpTransport &transport, const QByteArray &path, int timeoutMs)
{
    int calls = 0;
    Download result;
    transport.get(QUrl(m_server.baseUrl().toString() + QString::fromLatin1(path)),
                  [&](const Download &download) {
                      ++calls;
                      result = download;
                  });
    [&] { QTRY_COMPARE_WITH_TIMEOUT(calls, 1, timeoutMs); }();
    QTest::qWait(50); // a second report would come now
    if (calls != 1)
        qWarning("%d completions", calls);
    return calls == 1 ? result : Download{QByteArray(), QStringLiteral("no single completion")};
}

void TestHttpTransport::answer_data()
{
    QTest::addColumn<Response>("response");
    QTest::addColumn<QByteArray>("body"); // expected on success
    QTest::addColumn<QString>("error");   // expected error (a prefix), empty on success

    const QByteArray text = "Solar flux 153 and estimated planetary A-index 10.\n";
    const QByteArray twoMegabytes(QtHttpTransport::maxBodyBytes, 'k');
    const QByteArray threeMegabytes(3 * 1024 * 1024, 'k');
    Response ok;
    ok.body = text;
    QTest::newRow("200") << ok << text << QString();
    Response chunked = ok;
    chunked.framing = Response::Framing::Chunked;
    QTest::newRow("200 chunked") << chunked << text << QString();
    Response closeDelimited = ok;
    closeDelimited.framing = Response::Framing::Close;
    QTest::newRow("200 ended by close") << closeDelimited << text << QString();
    Response exactly = ok;
    exactly.body = twoMegabytes;
    QTest::newRow("exactly 2 MB") << exactly << twoMegabytes << QString();

    for (int status : {201, 204, 403, 404, 500, 503}) {
        Response refused = ok;
        refused.status = status;
        refused.body = "<html><body>Forbidden</body></html>";
        QTest::addRow("status %d", status)
            << refused << QByteArray() << QStringLiteral("HTTP %1").arg(status);
    }
    Response html = ok;
    html.body = "<!DOCTYPE html><html><body>Maintenance</body></html>";
    QTest::newRow("html page with 200 is a body") << html << html.body << QString();

    Response large = ok;
    large.body = threeMegabytes;
    QTest::newRow("3 MB with Content-Length")
        << large << QByteArray() << QStringLiteral("Response exceeded 2 MB");
    large.framing = Response::Framing::Close;
    QTest::newRow("3 MB without Content-Length")
        << large << QByteArray() << QStringLiteral("Response exceeded 2 MB");
    large.framing = Response::Framing::Chunked;
    QTest::newRow("3 MB chunked") << large << QByteArray()
                                  << QStringLiteral("Response exceeded 2 MB");

    Response cut = ok;
    cut.cutAfter = text.size() / 2;
    QTest::newRow("closed before Content-Length")
        << cut << QByteArray() << QStringLiteral("Response incomplete");
    cut.framing = Response::Framing::Chunked;
    cut.cutAfter = text.size(); // inside the chunk: size line, then part of the data
    QTest::newRow("closed before the last chunk")
        << cut << QByteArray() << QStringLiteral("Response incomplete");

    Response silent = ok;
    silent.neverAnswer = true;
    QTest::newRow("no answer") << silent << QByteArray()
                               << QStringLiteral("No response from the server (Qt Network 4)");
    Response stalled = ok;
    stalled.stallAfter = 10;
    QTest::newRow("body stalls") << stalled << QByteArray() << QStringLiteral("Response timed out");
    Response trickle = ok;
    trickle.trickleMs = 40; // progress all the time, yet too slow for the body budget
    QTest::newRow("body trickles")
        << trickle << QByteArray() << QStringLiteral("Response timed out");
}

void TestHttpTransport::answer()
{
    QFETCH(Response, response);
    QFETCH(QByteArray, body);
    QFETCH(QString, error);
    m_server.route("/product", response);
    QtHttpTransport transport;
    // Only the rows about time-outs get the short budgets: the others must see every byte,
    // however slowly a loaded or sanitizer-built test moves 3 MB.
    const bool aboutTime = error == QLatin1String("Response timed out") ||
                           error.startsWith(QLatin1String("No response"));
    if (aboutTime)
        transport.setTimeouts(shortStallMs, shortBodyMs);
    const Download download =
        fetch(transport, "/product", aboutTime ? 5000 : 2 * QtHttpTransport::defaultTimeoutMs);
    QCOMPARE(download.error, error);
    QCOMPARE(download.body.size(), body.size());
    QVERIFY(download.body == body);
}

void TestHttpTransport::gzipBombStopsAtTheCap()
{
    // 64 MB of zeros in 64 kB: Qt decodes it, the cap must stop it at 2 MB.
    Response bomb;
    bomb.body = gzip(QByteArray(64 * 1024 * 1024, '\0'));
    bomb.headers << qMakePair(QByteArray("Content-Encoding"), QByteArray("gzip"));
    QVERIFY(bomb.body.size() < QtHttpTransport::maxBodyBytes / 16);
    m_server.route("/bomb", bomb);
    Response small;
    small.body = gzip(QByteArray("compressed and fine"));
    small.headers = bomb.headers;
    m_server.route("/small", small);

    QtHttpTransport transport;
    const Download refused = fetch(transport, "/bomb");
    QCOMPARE(refused.error, QStringLiteral("Response exceeded 2 MB"));
    const Download decoded = fetch(transport, "/small");
    QCOMPARE(decoded.error, QString());
    QCOMPARE(decoded.body, QByteArray("compressed and fine"));
}

void TestHttpTransport::stallBeforeHeadersRealTimeout()
{
    Response silent;
    silent.neverAnswer = true;
    m_server.route("/silent", silent);
    QtHttpTransport transport; // the real 10 s
    QElapsedTimer clock;
    clock.start();
    const Download download = fetch(transport, "/silent", 15000);
    const qint64 elapsed = clock.elapsed();
    QCOMPARE(download.error, QStringLiteral("No response from the server (Qt Network 4)"));
    QVERIFY2(elapsed >= 9900 && elapsed < 12500, qPrintable(QString::number(elapsed)));
}

void TestHttpTransport::redirectsAtMostTen()
{
    for (int i = 0; i < 11; ++i) {
        Response hop;
        hop.status = 302;
        hop.headers << qMakePair(QByteArray("Location"), "/hop" + QByteArray::number(i + 1));
        m_server.route("/hop" + QByteArray::number(i), hop);
    }
    Response end;
    end.body = "arrived";
    m_server.route("/hop11", end);

    QtHttpTransport transport;
    const Download tenHops = fetch(transport, "/hop1");
    QCOMPARE(tenHops.error, QString());
    QCOMPARE(tenHops.body, QByteArray("arrived"));
    const Download elevenHops = fetch(transport, "/hop0");
    QVERIFY2(elevenHops.error.endsWith(
                 QStringLiteral("(Qt Network %1)").arg(int(QNetworkReply::TooManyRedirectsError))),
             qPrintable(elevenHops.error));
}

void TestHttpTransport::tlsVerifiedAndNeverDowngraded()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString certificateFile = folder.filePath(QStringLiteral("cert.pem"));
    const QString keyFile = folder.filePath(QStringLiteral("key.pem"));
    QProcess openssl;
    openssl.start(QStringLiteral("openssl"),
                  {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
                   QStringLiteral("ec"), QStringLiteral("-pkeyopt"),
                   QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes"),
                   QStringLiteral("-days"), QStringLiteral("1"), QStringLiteral("-subj"),
                   QStringLiteral("/CN=127.0.0.1"), QStringLiteral("-addext"),
                   QStringLiteral("subjectAltName=IP:127.0.0.1"), QStringLiteral("-keyout"),
                   keyFile, QStringLiteral("-out"), certificateFile});
    QVERIFY2(openssl.waitForFinished(30000) && openssl.exitCode() == 0,
             openssl.readAllStandardError().constData());
    QFile certificateData(certificateFile);
    QFile keyData(keyFile);
    QVERIFY(certificateData.open(QIODevice::ReadOnly) && keyData.open(QIODevice::ReadOnly));
    const QSslCertificate certificate(&certificateData, QSsl::Pem);
    const QSslKey key(&keyData, QSsl::Ec, QSsl::Pem);
    QVERIFY(!certificate.isNull() && !key.isNull());

    LoopbackHttpServer tls;
    QVERIFY(tls.start(certificate, key));
    Response ok;
    ok.body = "secret";
    tls.route("/product", ok);

    // The server works for a client that trusts the certificate...
    QSslSocket trusting;
    QSslConfiguration configuration = trusting.sslConfiguration();
    configuration.setCaCertificates({certificate});
    trusting.setSslConfiguration(configuration);
    QSignalSpy encrypted(&trusting, &QSslSocket::encrypted);
    trusting.connectToHostEncrypted(QStringLiteral("127.0.0.1"), tls.serverPort());
    QTRY_COMPARE_WITH_TIMEOUT(encrypted.count(), 1, 10000);
    trusting.disconnectFromHost();

    // ...and the transport, which trusts only the system's authorities, refuses it.
    QtHttpTransport transport;
    int calls = 0;
    Download result;
    transport.get(QUrl(tls.baseUrl().toString() + QStringLiteral("/product")),
                  [&](const Download &download) {
                      ++calls;
                      result = download;
                  });
    QTRY_COMPARE_WITH_TIMEOUT(calls, 1, 10000);
    QVERIFY(result.body.isEmpty());
    QVERIFY2(
        result.error.endsWith(
            QStringLiteral("(Qt Network %1)").arg(int(QNetworkReply::SslHandshakeFailedError))),
        qPrintable(result.error));
}

void TestHttpTransport::userAgentNamesTheProgram()
{
    Response ok;
    ok.body = "x";
    m_server.route("/agent", ok);
    m_server.requests.clear();
    QtHttpTransport transport;
    QCOMPARE(fetch(transport, "/agent").error, QString());
    QCOMPARE(m_server.requests.size(), 1);
    const QByteArray agent = m_server.requests.first().headers.value("user-agent");
    QVERIFY2(QRegularExpression(QStringLiteral("^Corvin/\\d+\\.\\d+\\.\\d+ \\(Propagation\\)$"))
                 .match(QString::fromLatin1(agent))
                 .hasMatch(),
             agent.constData());
}

void TestHttpTransport::abortDropsCompletions()
{
    Response silent;
    silent.neverAnswer = true;
    m_server.route("/silent", silent);
    QtHttpTransport transport;
    transport.setTimeouts(shortStallMs, shortBodyMs);
    int calls = 0;
    for (int i = 0; i < 3; ++i)
        transport.get(QUrl(m_server.baseUrl().toString() + QStringLiteral("/silent")),
                      [&calls](const Download &) { ++calls; });
    QTest::qWait(50);
    transport.abortAll();
    QTest::qWait(2 * shortStallMs);
    QCOMPARE(calls, 0);
}

QTEST_GUILESS_MAIN(TestHttpTransport)
#include "tst_httptransport.moc"
