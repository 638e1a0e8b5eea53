// A receiver whose terminal vanishes: the driver tells once, and LinkRecovery reopens the
// same port when it is back, or gives up.
#include "corvindriver.h"
#include "linkrecovery.h"
#include "rxsimulator.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

class LinkRecoveryTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void lostOnceThenRecovered();
    void hungUpTerminalIsLost();
    void givesUp();

private:
    QTemporaryDir *m_dir = nullptr;
    RxSimulator *m_sim = nullptr;
    QString m_link;
};

void LinkRecoveryTest::init()
{
    m_dir = new QTemporaryDir;
    m_link = m_dir->filePath(QStringLiteral("receiver"));
    m_sim = new RxSimulator;
    m_sim->setPaced(false);
    QString error;
    QVERIFY2(m_sim->start(&error), qPrintable(error));
    QVERIFY2(m_sim->linkPort(m_link, &error), qPrintable(error));
}

void LinkRecoveryTest::cleanup()
{
    delete m_sim;
    delete m_dir;
}

void LinkRecoveryTest::lostOnceThenRecovered()
{
    Corvindriver driver;
    QSignalSpy lost(&driver, &Corvindriver::linkLost);
    QSignalSpy errors(&driver, &Corvindriver::errorOccurred);
    QVERIFY(driver.openPort(m_link));
    QVERIFY(driver.tune(7050000));
    QVERIFY(!driver.isLinkLost());

    m_sim->vanish(1200);
    QVERIFY(!driver.tune(7060000));
    QVERIFY(driver.isLinkLost());
    QCOMPARE(lost.size(), 1);
    int level = 0;
    QVERIFY(!driver.readSignalLevel(&level));
    QCOMPARE(lost.size(), 1); // once per opened port
    driver.closePort();

    LinkRecovery recovery(driver);
    recovery.setTiming(100, 10000);
    QSignalSpy progress(&recovery, &LinkRecovery::progress);
    QSignalSpy recovered(&recovery, &LinkRecovery::recovered);
    const int errorsBefore = errors.size();
    recovery.start(m_link);
    QVERIFY(recovered.wait(8000));
    QVERIFY(!recovery.isActive());
    QVERIFY(driver.isOpen());
    QVERIFY(!driver.isLinkLost());
    QVERIFY(recovery.attempts() > 1);
    // The failed attempts did not report themselves one by one.
    QCOMPARE(errors.size(), errorsBefore);
    QCOMPARE(progress.first().first().toString(),
             QStringLiteral("Reconnecting: %1 cannot be opened yet (attempt 1).").arg(m_link));
    QCOMPARE(progress.last().first().toString(),
             QStringLiteral("Receiver found again on %1 (attempt %2).")
                 .arg(m_link)
                 .arg(recovery.attempts()));
    QVERIFY(driver.tune(7070000));
    QCOMPARE(m_sim->frequency(), quint64(7070000));
}

// A terminal that hung up (a USB adapter pulled out) answers reads with end of file for ever.
void LinkRecoveryTest::hungUpTerminalIsLost()
{
    Corvindriver driver;
    QSignalSpy lost(&driver, &Corvindriver::linkLost);
    QVERIFY(driver.openPort(m_link));
    m_sim->hangUp();
    QVERIFY(!driver.identify());
    QCOMPARE(lost.size(), 1);
    QVERIFY(driver.line().lastError().contains(QLatin1String("errno 5")));
}

void LinkRecoveryTest::givesUp()
{
    Corvindriver driver;
    m_sim->vanish(60000);
    LinkRecovery recovery(driver);
    recovery.setTiming(50, 400);
    QSignalSpy gaveUp(&recovery, &LinkRecovery::gaveUp);
    QSignalSpy recovered(&recovery, &LinkRecovery::recovered);
    recovery.start(m_link);
    QVERIFY(gaveUp.wait(3000));
    QVERIFY(!recovery.isActive());
    QVERIFY(recovered.isEmpty());
    QVERIFY(!driver.isOpen());
    QVERIFY(recovery.attempts() >= 2);
}

QTEST_GUILESS_MAIN(LinkRecoveryTest)
#include "tst_linkrecovery.moc"
