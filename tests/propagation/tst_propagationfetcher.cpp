#include "fakehttptransport.h"
#include "httptransport.h"
#include "loopbackhttpserver.h"
#include "propagationfetcher.h"

#include <QSignalSpy>
#include <QtTest>

#include <algorithm>

// The refresh: four downloads, one record whatever the order of arrival, each source counted
// once, failures as sorted diagnostics; and the whole path over Qt Network to a loopback
// server named by the base-URL variables.
class TestPropagationFetcher : public QObject
{
    Q_OBJECT

private slots:
    void sourcesFollowTheBaseUrls();
    void everyArrivalOrderGivesOneRecord();
    void eachSourceCountsOnce();
    void startIgnoredWhileRunningAndAbortIsSilent();
    void refreshOverLoopback();
};

namespace {

const QStringList paths = {
    QStringLiteral("/solarxml.php"), QStringLiteral("/json/planetary_k_index_1m.json"),
    QStringLiteral("/json/f107_cm_flux.json"), QStringLiteral("/text/wwv.txt")};

// The answers of one refresh: three products and one failure.
QVector<Download> answers()
{
    return {{fixture(QStringLiteral("hamqsl.xml")), QString()},
            {QByteArray(), QStringLiteral("HTTP 503")},
            {fixture(QStringLiteral("f107.json")), QString()},
            {QByteArray("<html>not a bulletin</html>"), QString()}};
}

PropagationFetcher *newFetcher(FakeHttpTransport *&transport, QObject *parent)
{
    auto owned = std::make_unique<FakeHttpTransport>();
    transport = owned.get();
    return new PropagationFetcher(std::move(owned), parent);
}

} // namespace

void TestPropagationFetcher::sourcesFollowTheBaseUrls()
{
    qunsetenv("CORVIN_HAMQSL_BASE_URL");
    qunsetenv("CORVIN_SWPC_BASE_URL");
    QVector<PropagationFetcher::Source> sources = PropagationFetcher::sources();
    QCOMPARE(sources.size(), 4);
    QCOMPARE(sources[0].name, QStringLiteral("HamQSL"));
    QCOMPARE(sources[3].name, QStringLiteral("NOAA WWV"));
    for (const PropagationFetcher::Source &source : sources) {
        QCOMPARE(source.url.scheme(), QStringLiteral("https"));
        QCOMPARE(source.url.port(443), 443);
    }
    QCOMPARE(sources[1].url.toString(),
             QStringLiteral("https://services.swpc.noaa.gov/json/planetary_k_index_1m.json"));

    qputenv("CORVIN_HAMQSL_BASE_URL", "http://127.0.0.1:8123/mirror/hamqsl/");
    qputenv("CORVIN_SWPC_BASE_URL", "http://[::1]:9000/swpc");
    sources = PropagationFetcher::sources();
    QCOMPARE(sources[0].url.toString(),
             QStringLiteral("http://127.0.0.1:8123/mirror/hamqsl/solarxml.php"));
    QCOMPARE(sources[2].url.toString(),
             QStringLiteral("http://[::1]:9000/swpc/json/f107_cm_flux.json"));
    qunsetenv("CORVIN_HAMQSL_BASE_URL");
    qunsetenv("CORVIN_SWPC_BASE_URL");
}

void TestPropagationFetcher::everyArrivalOrderGivesOneRecord()
{
    QVector<int> order = {0, 1, 2, 3};
    QVector<PropagationData> records;
    do {
        FakeHttpTransport *transport = nullptr;
        PropagationFetcher *fetcher = newFetcher(transport, this);
        QSignalSpy finished(fetcher, &PropagationFetcher::finished);
        fetcher->start();
        QCOMPARE(transport->pending.size(), 4);
        for (int step = 0; step < 4; ++step) {
            QCOMPARE(finished.count(), 0);
            QVERIFY(transport->answer(paths[order[step]], answers()[order[step]]));
        }
        QCOMPARE(finished.count(), 1);
        QVERIFY(!fetcher->isRunning());
        PropagationData record = finished.first().first().value<PropagationData>();
        QVERIFY(record.retrieved.isValid());
        record.retrieved = QDateTime();
        records.append(record);
        delete fetcher;
    } while (std::next_permutation(order.begin(), order.end()));

    QCOMPARE(records.size(), 24);
    for (const PropagationData &record : records)
        QCOMPARE(record, records.first());
    const PropagationData &record = records.first();
    QCOMPARE(record.solarFlux, 155.3); // NOAA's noon value, not HamQSL's 152
    QCOMPARE(record.errors,
             QStringList({QStringLiteral("NOAA Kp: HTTP 503"),
                          QStringLiteral("NOAA WWV: No recognized data in response")}));
    QVERIFY(record.aIndexValid && !record.kpValid && record.wwv.isEmpty());
}

void TestPropagationFetcher::eachSourceCountsOnce()
{
    // A time-out and an error reporting the same source: the second report is ignored, so the
    // refresh still waits for the other three.
    FakeHttpTransport *transport = nullptr;
    PropagationFetcher *fetcher = newFetcher(transport, this);
    QSignalSpy finished(fetcher, &PropagationFetcher::finished);
    fetcher->start();
    const HttpTransport::Completion hamQsl = transport->pending.first().done;
    hamQsl({QByteArray(), QStringLiteral("Response timed out")});
    hamQsl({QByteArray(), QStringLiteral("Response incomplete")});
    hamQsl({fixture(QStringLiteral("hamqsl.xml")), QString()});
    QVERIFY(fetcher->isRunning());
    QVERIFY(transport->answer(paths[1], {QByteArray(), QStringLiteral("x")}));
    QVERIFY(transport->answer(paths[2], {QByteArray(), QStringLiteral("x")}));
    QCOMPARE(finished.count(), 0);
    QVERIFY(transport->answer(paths[3], {fixture(QStringLiteral("wwv.txt")), QString()}));
    QCOMPARE(finished.count(), 1);
    const PropagationData record = finished.first().first().value<PropagationData>();
    QCOMPARE(record.errors.size(), 3);
    QCOMPARE(record.errors.first(), QStringLiteral("HamQSL: Response timed out"));
    QVERIFY(!record.aIndexValid);
    hamQsl({QByteArray(), QStringLiteral("late")});
    QCOMPARE(finished.count(), 1);
    delete fetcher;
}

void TestPropagationFetcher::startIgnoredWhileRunningAndAbortIsSilent()
{
    FakeHttpTransport *transport = nullptr;
    PropagationFetcher *fetcher = newFetcher(transport, this);
    int aborts = 0; // still readable once the fetcher has deleted its transport
    transport->abortsSeenOutside = &aborts;
    QSignalSpy finished(fetcher, &PropagationFetcher::finished);
    fetcher->start();
    const HttpTransport::Completion first = transport->pending.first().done;
    fetcher->start();
    QCOMPARE(transport->pending.size(), 4);
    fetcher->abort();
    QCOMPARE(aborts, 1);
    QVERIFY(!fetcher->isRunning());
    first({QByteArray(), QStringLiteral("after the abort")});
    QCOMPARE(finished.count(), 0);

    // A new refresh after the abort is not disturbed by the old one's answers.
    fetcher->start();
    first({fixture(QStringLiteral("hamqsl.xml")), QString()});
    for (const QString &path : paths)
        QVERIFY(transport->answer(path, {QByteArray(), QStringLiteral("down")}));
    QCOMPARE(finished.count(), 1);
    QCOMPARE(finished.first().first().value<PropagationData>().errors.size(), 4);
    delete fetcher; // running nothing: no abort needed
    QCOMPARE(aborts, 1);
}

void TestPropagationFetcher::refreshOverLoopback()
{
    LoopbackHttpServer server;
    QVERIFY(server.start());
    server.routeFile("/hamqsl/solarxml.php", QStringLiteral("hamqsl.xml"));
    server.routeFile("/swpc/json/planetary_k_index_1m.json", QStringLiteral("kp.json"));
    server.routeFile("/swpc/json/f107_cm_flux.json", QStringLiteral("f107.json"));
    server.routeFile("/swpc/text/wwv.txt", QStringLiteral("wwv.txt"));
    qputenv("CORVIN_HAMQSL_BASE_URL", server.baseUrl().toString().toLatin1() + "/hamqsl");
    qputenv("CORVIN_SWPC_BASE_URL", server.baseUrl().toString().toLatin1() + "/swpc");

    PropagationFetcher fetcher;
    QSignalSpy finished(&fetcher, &PropagationFetcher::finished);
    fetcher.start();
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 10000);
    PropagationData record = finished.first().first().value<PropagationData>();
    QCOMPARE(record.errors, QStringList());
    QVERIFY(record.kpValid && record.solarFluxValid && record.aIndexValid && !record.wwv.isEmpty());
    QCOMPARE(server.requests.size(), 4);

    // A HamQSL answer of 3 MB fails alone, with its source name.
    LoopbackHttpServer::Response large;
    large.body = QByteArray(3 * 1024 * 1024, ' ');
    server.route("/hamqsl/solarxml.php", large);
    fetcher.start();
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 2, 10000);
    record = finished.last().first().value<PropagationData>();
    QCOMPARE(record.errors, QStringList{QStringLiteral("HamQSL: Response exceeded 2 MB")});
    QVERIFY(record.kpValid && !record.aIndexValid);
    qunsetenv("CORVIN_HAMQSL_BASE_URL");
    qunsetenv("CORVIN_SWPC_BASE_URL");
}

QTEST_GUILESS_MAIN(TestPropagationFetcher)
#include "tst_propagationfetcher.moc"
