// The setup verifier: which command follows which AM status, how often a setting is retried,
// and why it gives up.
#include "scopesetup.h"

#include <QTest>

namespace {

AmStatus status(qint64 centre, int span, qint64 marker, int peakHold)
{
    AmStatus s;
    s.centreHz = centre;
    s.spanCode = span;
    s.markerHz = marker;
    s.peakHold = peakHold;
    return s;
}

// "CF98000000/7/98000000/0" -> a status; "-" -> no valid status; "?" -> no status, "?" seen.
struct Step
{
    AmStatus status;
    bool rejected = false;
};

Step step(const QString &text)
{
    if (text == QLatin1String("-"))
        return {};
    if (text == QLatin1String("?"))
        return {AmStatus(), true};
    const QStringList parts = text.split(QLatin1Char('/'));
    return {
        status(parts[0].toLongLong(), parts[1].toInt(), parts[2].toLongLong(), parts[3].toInt()),
        false};
}

} // namespace

class SetupTest : public QObject
{
    Q_OBJECT

private slots:
    void sequence_data();
    void sequence();
    void centreForms();
};

// Requested: 98.000 MHz, span 4. Each step is the status after the previous command; the
// commands are what the verifier returned, "" for a failure.
void SetupTest::sequence_data()
{
    QTest::addColumn<bool>("peakHold");
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("commands");
    QTest::addColumn<QString>("error");

    const QString ok = QStringLiteral("98000000/4/98000000/0");
    QTest::newRow("confirmed at once") << false << QStringList{ok} << QStringList{"DS"} << "";
    QTest::newRow("wrong span corrected") << false << QStringList{"98000000/1/98000000/0", "-", ok}
                                          << QStringList{"SW4", "AM", "DS"} << "";
    QTest::newRow("span never confirmed")
        << false
        << QStringList{"98000000/1/98000000/0", "-", "98000000/1/98000000/0", "-",
                       "98000000/1/98000000/0"}
        << QStringList{"SW4", "AM", "SW4", "AM", ""} << "Span not confirmed; DS not sent";
    QTest::newRow("centre: ten digits, then MHz")
        << false << QStringList{"97000000/4/98000000/0", "-", "97000000/4/98000000/0", "-", ok}
        << QStringList{"CF0098000000", "AM", "CF98.000", "AM", "DS"} << "";
    QTest::newRow("centre never confirmed")
        << false
        << QStringList{"97000000/4/97000000/0", "-", "97000000/4/97000000/0", "-",
                       "97000000/4/97000000/0"}
        << QStringList{"CF0098000000", "AM", "CF98.000", "AM", ""}
        << "Center not confirmed; DS not sent";
    QTest::newRow("marker moved") << false << QStringList{"98000000/4/97000000/0", "-", ok}
                                  << QStringList{"MF0098000000", "AM", "DS"} << "";
    QTest::newRow("marker never centred")
        << false
        << QStringList{"98000000/4/97000000/0", "-", "98000000/4/97000000/0", "-",
                       "98000000/4/97000000/0"}
        << QStringList{"MF0098000000", "AM", "MF0098000000", "AM", ""}
        << "Marker not centered; DS not sent";
    QTest::newRow("peak hold requested") << true << QStringList{ok, "-", "98000000/4/98000000/1"}
                                         << QStringList{"PH1", "AM", "DS"} << "";
    QTest::newRow("peak hold never confirmed")
        << true << QStringList{ok, "-", ok, "-", ok} << QStringList{"PH1", "AM", "PH1", "AM", ""}
        << "Requested Peak Hold not confirmed; DS not sent";
    QTest::newRow("peak hold on, not requested, kept")
        << false << QStringList{"98000000/4/98000000/1"} << QStringList{"DS"} << "";
    QTest::newRow("AM tried three times")
        << false << QStringList{"-", "-", "-"} << QStringList{"AM", "AM", ""}
        << "No complete AM status; DS not sent";
    QTest::newRow("AM rejected") << false << QStringList{"?", "?", "?"}
                                 << QStringList{"AM", "AM", ""} << "AM status rejected";
    QTest::newRow("no status after a setting")
        << false << QStringList{"98000000/1/98000000/0", "-", "-"} << QStringList{"SW4", "AM", ""}
        << "No complete AM status; DS not sent";
    QTest::newRow("everything wrong, one at a time")
        << true << QStringList{"97000000/1/97000000/0",
                               "-",
                               "97000000/4/97000000/0",
                               "-",
                               "98000000/4/97000000/0",
                               "-",
                               ok,
                               "-",
                               "98000000/4/98000000/1"}
        << QStringList{"SW4", "AM", "CF0098000000", "AM", "MF0098000000", "AM", "PH1", "AM", "DS"}
        << "";
    QTest::newRow("asked again after DS")
        << false << QStringList{ok, "-"} << QStringList{"DS", ""} << "Unexpected setup transition";
}

void SetupTest::sequence()
{
    QFETCH(bool, peakHold);
    QFETCH(QStringList, steps);
    QFETCH(QStringList, commands);
    QFETCH(QString, error);

    ScopeSetup setup;
    setup.reset(98000000, 4, peakHold);
    QCOMPARE(setup.amTries(), 1);
    QStringList sent;
    for (const QString &text : steps) {
        const Step s = step(text);
        sent << QString::fromLatin1(setup.next(s.status, s.rejected));
        if (sent.last().isEmpty())
            break;
    }
    QCOMPARE(sent, commands);
    QCOMPARE(setup.error(), error);
    QCOMPARE(setup.state() == ScopeSetup::Failed, !error.isEmpty());
    if (error.isEmpty())
        QCOMPARE(setup.state(), ScopeSetup::DsSent);
}

void SetupTest::centreForms()
{
    QCOMPARE(ScopeSetup::centreCommand(98000000, false), QByteArray("CF0098000000"));
    QCOMPARE(ScopeSetup::centreCommand(98000000, true), QByteArray("CF98.000"));
    QCOMPARE(ScopeSetup::centreCommand(4652000, true), QByteArray("CF4.652"));
    QCOMPARE(ScopeSetup::centreCommand(3000000000LL, false), QByteArray("CF3000000000"));
    QCOMPARE(ScopeSetup::centreCommand(100000, true), QByteArray("CF0.100"));
}

QTEST_GUILESS_MAIN(SetupTest)
#include "tst_setup.moc"
