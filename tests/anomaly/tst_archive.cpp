// The event archive: listing order, the table's columns, sidecar and review names, the 4 MiB
// reader, context keys and reviews that leave the recording untouched.

#include "archivefixture.h"
#include "archivejson.h"
#include "eventarchive.h"

#include <QCryptographicHash>
#include <QTemporaryDir>
#include <QTest>

using namespace ArchiveFixture;

class TestArchive : public QObject
{
    Q_OBJECT

private slots:
    void listsNewestFirstWithColumns();
    void columns_data();
    void columns();
    void sidecarNames_data();
    void sidecarNames();
    void readerLimits_data();
    void readerLimits();
    void contextKey_data();
    void contextKey();
    void reviewTwiceKeepsTheLastAndLeavesTheEventAlone();
    void unwritableReviewFails();
};

namespace {

QByteArray sha(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

} // namespace

void TestArchive::listsNewestFirstWithColumns()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QDateTime base = QDateTime::currentDateTimeUtc().addDays(-1);
    const QJsonObject event =
        with(context(), {{QStringLiteral("trigger_type"), QStringLiteral("NEW")}});
    const QJsonObject label = review("FALSE_ALARM");
    // Names with the frequency's decimal point, one without any sidecar, one ".wave".
    QVERIFY(writeEvent(dir.path(), QStringLiteral("145.500000_a"), &event, &label, base));
    QVERIFY(
        writeEvent(dir.path(), QStringLiteral("145.500000_b"), nullptr, nullptr, base.addSecs(60)));
    QVERIFY(
        writeEvent(dir.path(), QStringLiteral("7.100000_c"), &event, nullptr, base.addSecs(30)));
    QVERIFY(QFile::rename(dir.filePath(QStringLiteral("7.100000_c.wav")),
                          dir.filePath(QStringLiteral("7.100000_c.wave"))));
    QVERIFY(writeBytes(dir.filePath(QStringLiteral("notes.txt")), "not an event"));

    const QVector<ArchivedEvent> events = EventArchive::list(dir.path());
    QStringList names;
    for (const ArchivedEvent &e : events)
        names << e.fileName;
    QCOMPARE(names,
             QStringList({QStringLiteral("145.500000_b.wav"), QStringLiteral("7.100000_c.wave"),
                          QStringLiteral("145.500000_a.wav")}));
    QCOMPARE(events[0].path, dir.filePath(QStringLiteral("145.500000_b.wav")));
    QVERIFY(events[0].event.isEmpty());
    QCOMPARE(events[0].context, QString());
    QCOMPARE(EventArchive::columns(events[0]),
             QStringList({"--", "--", "--", "--", "--", "--", "145.500000_b.wav"}));
    QCOMPARE(events[1].event.value(QStringLiteral("trigger_type")).toString(),
             QStringLiteral("NEW"));
    QCOMPARE(events[2].context, QLatin1String(ArchiveFixture::contextKey));
    QCOMPARE(EventArchive::columns(events[2]).value(5), QStringLiteral("FALSE_ALARM"));
}

void TestArchive::columns_data()
{
    QTest::addColumn<QByteArray>("event");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("complete")
        << QByteArray(
               R"({"trigger_utc":"2026-01-02T03:04:05.678Z","frequency_hz":145500000.4,"mode":"NFM",
            "trigger_type":"CHANGE","total_samples":1680000,"sample_rate_hz":48000})")
        << QStringList{
               "2026-01-02T03:04:05.678Z", "145500000", "NFM", "CHANGE", "35.00", "--", "e.wav"};
    QTest::newRow("no rate") << QByteArray(R"({"total_samples":1000,"sample_rate_hz":0})")
                             << QStringList{"--", "--", "--", "--", "--", "--", "e.wav"};
    QTest::newRow("texts where numbers belong")
        << QByteArray(R"({"frequency_hz":"145","total_samples":"10","sample_rate_hz":8000,
                          "mode":7})")
        << QStringList{"--", "--", "--", "--", "--", "--", "e.wav"};
    QTest::newRow("negative samples")
        << QByteArray(R"({"total_samples":-1000,"sample_rate_hz":1000})")
        << QStringList{"--", "--", "--", "--", "--", "--", "e.wav"};
    QTest::newRow("fractional duration")
        << QByteArray(R"({"total_samples":1001,"sample_rate_hz":1000,"mode":"USB"})")
        << QStringList{"--", "--", "USB", "--", "1.00", "--", "e.wav"};
}

void TestArchive::columns()
{
    QFETCH(QByteArray, event);
    QFETCH(QStringList, expected);
    ArchivedEvent archived;
    archived.fileName = QStringLiteral("e.wav");
    archived.event = ArchiveJson::parseObject(event);
    QVERIFY(!archived.event.isEmpty());
    QCOMPARE(EventArchive::columns(archived), expected);
}

void TestArchive::sidecarNames_data()
{
    QTest::addColumn<QString>("wav");
    QTest::addColumn<QString>("sidecar");
    QTest::addColumn<QString>("review");
    QTest::newRow("frequency with a decimal point")
        << "/d/145.500000_20260102_030405_678_ab.wav"
        << "/d/145.500000_20260102_030405_678_ab.json"
        << "/d/145.500000_20260102_030405_678_ab.review.json";
    QTest::newRow("wave") << "/d/x.wave"
                          << "/d/x.json"
                          << "/d/x.review.json";
    QTest::newRow("no suffix") << "/d/plain"
                               << "/d/plain.json"
                               << "/d/plain.review.json";
}

void TestArchive::sidecarNames()
{
    QFETCH(QString, wav);
    QFETCH(QString, sidecar);
    QFETCH(QString, review);
    QCOMPARE(ArchiveJson::sidecarPath(wav), sidecar);
    QCOMPARE(ArchiveJson::reviewPath(wav), review);
}

void TestArchive::readerLimits_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("exists");
    QTest::addColumn<bool>("readable");
    const QByteArray object = R"({"mode":"AM"})";
    const QByteArray padding(ArchiveJson::maxFileBytes - object.size(), ' ');
    QTest::newRow("exactly 4 MiB") << QByteArray(object + padding) << true << true;
    QTest::newRow("4 MiB + 1") << QByteArray(object + padding + ' ') << true << false;
    QTest::newRow("not JSON") << QByteArray("{\"mode\": ") << true << false;
    QTest::newRow("an array") << QByteArray("[1, 2]") << true << false;
    QTest::newRow("empty file") << QByteArray() << true << false;
    QTest::newRow("missing") << QByteArray() << false << false;
}

void TestArchive::readerLimits()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, exists);
    QFETCH(bool, readable);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("e.json"));
    if (exists)
        QVERIFY(writeBytes(path, content));
    const QJsonObject read = ArchiveJson::readObject(path);
    QCOMPARE(!read.isEmpty(), readable);
    if (readable)
        QCOMPARE(read.value(QStringLiteral("mode")).toString(), QStringLiteral("AM"));
}

void TestArchive::contextKey_data()
{
    QTest::addColumn<QJsonObject>("metadata");
    QTest::addColumn<QString>("key");
    QTest::newRow("complete") << context() << QString::fromLatin1(ArchiveFixture::contextKey);
    QTest::newRow("shortest numbers")
        << with(context(), {{"analysis_low_hz", 80.5},
                            {"analysis_high_hz", 1e-3},
                            {"frequency_hz", 7100000.6},
                            {"source_channel_index", 1}})
        << "7100001 Hz | NFM | 80.5-0.001 Hz | Fs 48000 | ch 2 | Pulse monitor";
    QTest::newRow("line breaks in texts")
        << with(context(),
                {{"mode", "N\tFM"}, {"audio_device", QString::fromUtf8("Pulse\nmon\u2028itor\r")}})
        << "145500000 Hz | N FM | 80-6000 Hz | Fs 48000 | ch 1 | Pulse mon itor ";
    QTest::newRow("rate as text") << with(context(), {{"sample_rate_hz", "48000"}}) << QString();
    QTest::newRow("no channel") << with(context(), {{"source_channel_index", QJsonValue()}})
                                << QString();
    QTest::newRow("empty mode") << with(context(), {{"mode", ""}}) << QString();
    QTest::newRow("device not a text") << with(context(), {{"audio_device", 3}}) << QString();
    QTest::newRow("empty object") << QJsonObject() << QString();
}

void TestArchive::contextKey()
{
    QFETCH(QJsonObject, metadata);
    QFETCH(QString, key);
    QCOMPARE(ArchiveJson::contextKey(metadata), key);
}

void TestArchive::reviewTwiceKeepsTheLastAndLeavesTheEventAlone()
{
    QTemporaryDir dir;
    const QJsonObject event = context();
    const QString name = QStringLiteral("145.500000_20260102_030405_678_x");
    QVERIFY(writeEvent(dir.path(), name, &event));
    // A second event of the same megahertz must keep its own review.
    QVERIFY(writeEvent(dir.path(), QStringLiteral("145.500000_other"), &event));
    const QString wav = dir.filePath(name + QStringLiteral(".wav"));
    const QString json = dir.filePath(name + QStringLiteral(".json"));
    const QByteArray wavHash = sha(wav);
    const QByteArray jsonHash = sha(json);

    const QDateTime first(QDate(2026, 1, 2), QTime(3, 4, 5, 6), Qt::UTC);
    QVERIFY(
        EventArchive::writeReview(wav, ReviewLabel::Interesting, QStringLiteral("first"), first));
    QVERIFY(EventArchive::writeReview(wav, ReviewLabel::FalseAlarm,
                                      QStringLiteral("birdie\nat 145.5"), first.addSecs(1)));
    const QJsonObject review =
        ArchiveJson::readObject(dir.filePath(name + QStringLiteral(".review.json")));
    QCOMPARE(review, QJsonObject({{"label", "FALSE_ALARM"},
                                  {"notes", "birdie\nat 145.5"},
                                  {"review_utc", "2026-01-02T03:04:06.006Z"},
                                  {"wav_file", name + QStringLiteral(".wav")}}));
    QCOMPARE(EventArchive::labelOf(review), ReviewLabel::FalseAlarm);
    QCOMPARE(sha(wav), wavHash);
    QCOMPARE(sha(json), jsonHash);
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("145.review.json"))));
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("145.500000_other.review.json"))));
}

void TestArchive::unwritableReviewFails()
{
    QTemporaryDir dir;
    QVERIFY(!EventArchive::writeReview(dir.filePath(QStringLiteral("gone/e.wav")),
                                       ReviewLabel::Unknown, QString(),
                                       QDateTime::currentDateTimeUtc()));
}

QTEST_GUILESS_MAIN(TestArchive)
#include "tst_archive.moc"
