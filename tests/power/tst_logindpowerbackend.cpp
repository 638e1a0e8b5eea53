#include "logindpowerbackend.h"
#include "privatelogind.h"

#include <QtTest>

#include <cerrno>
#include <memory>

// The logind backend against a real message bus: with no logind on it, then with the logind
// mock, whose lock list and call log show what the backend really asked for.
class TestLogindPowerBackend : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void withoutLogindEverythingFails();
    void withoutBusEverythingFails();
    void keepAwakeHoldsOneSleepIdleLock();
    void destroyingTheBackendReleasesTheLock();
    void suspendIsAskedWithoutInteraction();
    void refusedSuspendGivesErrorCode_data();
    void refusedSuspendGivesErrorCode();

private:
    bool needLogind();

    PrivateLogind m_logind;
    bool m_logindUp = false;
};

void TestLogindPowerBackend::initTestCase()
{
    if (!m_logind.startBus()) {
        if (PrivateLogind::mustFail())
            QFAIL(qPrintable(m_logind.problem()));
        QSKIP(qPrintable(m_logind.problem()));
    }
}

bool TestLogindPowerBackend::needLogind()
{
    if (!m_logindUp)
        m_logindUp = m_logind.startLogind();
    return m_logindUp;
}

#define REQUIRE_LOGIND()                                                                           \
    do {                                                                                           \
        if (!needLogind()) {                                                                       \
            if (PrivateLogind::mustFail())                                                         \
                QFAIL(qPrintable(m_logind.problem()));                                             \
            QSKIP(qPrintable(m_logind.problem()));                                                 \
        }                                                                                          \
    } while (false)

void TestLogindPowerBackend::withoutLogindEverythingFails()
{
    LogindPowerBackend backend; // the system bus, which is the private bus here
    QVERIFY(!backend.acquireKeepAwake());
    QVERIFY(backend.releaseKeepAwake()); // nothing held, nothing to release
    QCOMPARE(backend.requestSleep(), EOPNOTSUPP);
}

void TestLogindPowerBackend::withoutBusEverythingFails()
{
    const QDBusConnection none = QDBusConnection::connectToBus(
        QStringLiteral("unix:path=/nonexistent/corvin-no-bus"), QStringLiteral("corvin-no-bus"));
    QVERIFY(!none.isConnected());
    LogindPowerBackend backend(none);
    QVERIFY(!backend.acquireKeepAwake());
    QCOMPARE(backend.requestSleep(), EOPNOTSUPP);
}

void TestLogindPowerBackend::keepAwakeHoldsOneSleepIdleLock()
{
    REQUIRE_LOGIND();
    LogindPowerBackend backend;
    QCOMPARE(m_logind.inhibitors(), QStringList());

    QVERIFY(backend.acquireKeepAwake());
    QCOMPARE(m_logind.inhibitors(), QStringList{QStringLiteral("sleep:idle|Corvin|block")});
    QVERIFY(backend.acquireKeepAwake()); // already held: no second lock
    QCOMPARE(m_logind.inhibitors().size(), 1);

    QVERIFY(backend.releaseKeepAwake());
    QTRY_COMPARE_WITH_TIMEOUT(m_logind.inhibitors(), QStringList(), 20000);

    QVERIFY(backend.acquireKeepAwake()); // can be taken again after a release
    QCOMPARE(m_logind.inhibitors().size(), 1);
    QVERIFY(backend.releaseKeepAwake());
    QTRY_COMPARE_WITH_TIMEOUT(m_logind.inhibitors(), QStringList(), 20000);
}

void TestLogindPowerBackend::destroyingTheBackendReleasesTheLock()
{
    REQUIRE_LOGIND();
    {
        LogindPowerBackend backend;
        QVERIFY(backend.acquireKeepAwake());
        QCOMPARE(m_logind.inhibitors().size(), 1);
    }
    QTRY_COMPARE_WITH_TIMEOUT(m_logind.inhibitors(), QStringList(), 20000);
}

void TestLogindPowerBackend::suspendIsAskedWithoutInteraction()
{
    REQUIRE_LOGIND();
    LogindPowerBackend backend;
    const int before = m_logind.suspendCalls().size();
    QCOMPARE(backend.requestSleep(), 0);
    const QList<bool> calls = m_logind.suspendCalls();
    QCOMPARE(calls.size(), before + 1);
    QCOMPARE(calls.constLast(), false);
}

void TestLogindPowerBackend::refusedSuspendGivesErrorCode_data()
{
    QTest::addColumn<QString>("errorName");
    QTest::addColumn<int>("code");
    QTest::newRow("access denied") << "org.freedesktop.DBus.Error.AccessDenied" << EACCES;
    QTest::newRow("needs authorisation")
        << "org.freedesktop.DBus.Error.InteractiveAuthorizationRequired" << EACCES;
    QTest::newRow("other failure") << "org.freedesktop.login1.OperationInProgress" << EIO;
}

void TestLogindPowerBackend::refusedSuspendGivesErrorCode()
{
    QFETCH(QString, errorName);
    QFETCH(int, code);
    REQUIRE_LOGIND();
    QVERIFY(m_logind.failSuspend(errorName));
    LogindPowerBackend backend;
    QCOMPARE(backend.requestSleep(), code);
}

QTEST_GUILESS_MAIN(TestLogindPowerBackend)
#include "tst_logindpowerbackend.moc"
