#include "devicenaming.h"

#include <QtTest>

namespace {

QStringList identifiers(const DeviceSelection &s)
{
    QStringList out;
    for (const DeviceItem &item : s.items) {
        out << item.identifier;
    }
    return out;
}

} // namespace

class TestDeviceNaming : public QObject
{
    Q_OBJECT

private slots:
    void emptyListSelectsNothing()
    {
        const DeviceSelection s = DeviceNaming::build({}, QStringLiteral("x"), true);
        QVERIFY(s.items.isEmpty());
        QCOMPARE(s.current, -1);
    }

    void defaultDeviceAndDuplicates()
    {
        // The default device is listed first and again in its own place; two cards share a name.
        const QVector<DeviceEntry> devices = {{"USB Audio", true},
                                              {"Built-in", false},
                                              {"USB Audio", true},
                                              {"Built-in", false},
                                              {"Built-in", false}};
        const DeviceSelection s = DeviceNaming::build(devices, QString(), false);
        QCOMPARE(identifiers(s), (QStringList{"System default output", "Built-in", "USB Audio (2)",
                                              "Built-in (2)", "Built-in (3)"}));
        QCOMPARE(s.items[0].text, QStringLiteral("System default output"));
        QCOMPARE(s.items[3].text, QStringLiteral("Built-in (2)"));
        QCOMPARE(s.current, 0);
    }

    void selection_data()
    {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<int>("defaultAt");
        QTest::addColumn<QString>("saved");
        QTest::addColumn<bool>("input");
        QTest::addColumn<int>("expected");
        const QStringList cards = {"Monitor", "Mic", "Mic", "usb line-in jack"};
        QTest::newRow("saved duplicate") << cards << -1 << "Mic (2)" << true << 2;
        QTest::newRow("line-in any case") << cards << -1 << "" << true << 3;
        QTest::newRow("line-in not for outputs") << cards << 1 << "" << false << 1;
        QTest::newRow("unknown saved -> line-in") << cards << -1 << "Gone" << true << 3;
        QTest::newRow("Line In before Line-In")
            << QStringList{"A Line-In", "B Line In", "C Linea"} << -1 << "" << true << 1;
        QTest::newRow("Linea last resort")
            << QStringList{"Ingresso Linea", "Mic"} << 1 << "" << true << 0;
        QTest::newRow("default when nothing else")
            << QStringList{"Mic", "Webcam"} << 1 << "" << true << 1;
        QTest::newRow("first when no default")
            << QStringList{"Mic", "Webcam"} << -1 << "" << true << 0;
    }
    void selection()
    {
        QFETCH(QStringList, names);
        QFETCH(int, defaultAt);
        QFETCH(QString, saved);
        QFETCH(bool, input);
        QFETCH(int, expected);
        QVector<DeviceEntry> devices;
        for (int i = 0; i < names.size(); ++i) {
            devices.append({names[i], i == defaultAt});
        }
        QCOMPARE(DeviceNaming::build(devices, saved, input).current, expected);
    }

    void savedIdentifierSurvivesRestart()
    {
        const QVector<DeviceEntry> devices = {{"Card", false}, {"Card", false}};
        const DeviceSelection first = DeviceNaming::build(devices, QString(), true);
        const QString saved = first.items[1].identifier;
        QCOMPARE(saved, QStringLiteral("Card (2)"));
        QCOMPARE(DeviceNaming::build(devices, saved, true).current, 1);
    }
};

QTEST_APPLESS_MAIN(TestDeviceNaming)
#include "tst_devicenaming.moc"
