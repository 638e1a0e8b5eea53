#include "datafolders.h"
#include "persistentlog.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

// The log's line splitting, its file format and its fall-back to the screen.
class TestPersistentLog : public QObject
{
    Q_OBJECT

private slots:
    void splitting_data();
    void splitting();
    void fileLinesCarryDateAndPrefix();
    void appendsToAnExistingLog();
    void writeFailureClosesTheFile();
    void openFailureStaysOnScreen();

private:
    static QStringList screenLines(const QSignalSpy &spy);
    static QByteArray readAll(const QString &path);
    const QDateTime m_when{QDate(2024, 3, 5), QTime(7, 8, 9, 12)};
};

QStringList TestPersistentLog::screenLines(const QSignalSpy &spy)
{
    QStringList lines;
    for (const QList<QVariant> &arguments : spy)
        lines.append(arguments.at(0).toString());
    return lines;
}

QByteArray TestPersistentLog::readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void TestPersistentLog::splitting_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<QStringList>("lines");
    const QString p = QStringLiteral("[07:08:09.012] ");
    QTest::newRow("one line") << QStringLiteral("  Receiver connected on ttyS0.  ")
                              << QStringList{p + QStringLiteral("Receiver connected on ttyS0.")};
    QTest::newRow("blank line kept")
        << QStringLiteral("first\n\nsecond")
        << QStringList{p + QStringLiteral("first"), p, p + QStringLiteral("second")};
    QTest::newRow("parts trimmed") << QStringLiteral("a \r\n\t b")
                                   << QStringList{p + QStringLiteral("a"), p + QStringLiteral("b")};
    QTest::newRow("only white space") << QStringLiteral(" \n\t \n") << QStringList{};
    QTest::newRow("empty") << QString() << QStringList{};
}

void TestPersistentLog::splitting()
{
    QFETCH(QString, message);
    QFETCH(QStringList, lines);
    PersistentLog log;
    QSignalSpy spy(&log, &PersistentLog::screenLine);
    log.appendAt(message, m_when);
    QCOMPARE(screenLines(spy), lines);
}

void TestPersistentLog::fileLinesCarryDateAndPrefix()
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("nested/data"));
    PersistentLog log;
    QVERIFY(log.open(folder));
    QCOMPARE(log.fileName(), folder + QStringLiteral("/Corvin.log"));
    log.appendAt(QStringLiteral("Città\n\nend"), m_when);
    log.appendAt(QStringLiteral("   "), m_when);
    // Flushed after every message: the file is complete while the log stays open.
    QCOMPARE(readAll(log.fileName()),
             QStringLiteral("2024-03-05 [07:08:09.012] Città\n2024-03-05 [07:08:09.012] \n"
                            "2024-03-05 [07:08:09.012] end\n")
                 .toUtf8());
}

void TestPersistentLog::appendsToAnExistingLog()
{
    QTemporaryDir dir;
    {
        PersistentLog log;
        QVERIFY(log.open(dir.path()));
        log.appendAt(QStringLiteral("one"), m_when);
    }
    PersistentLog log;
    QVERIFY(log.open(dir.path()));
    log.appendAt(QStringLiteral("two"), m_when);
    const QList<QByteArray> lines = readAll(log.fileName()).split('\n');
    QCOMPARE(lines.size(), 3);
    QVERIFY(lines.at(0).endsWith("one"));
    QVERIFY(lines.at(1).endsWith("two"));
}

void TestPersistentLog::writeFailureClosesTheFile()
{
    QTemporaryDir dir;
    PersistentLog log;
    QVERIFY(log.open(dir.path()));
    log.appendAt(QStringLiteral("before"), m_when);
    const QByteArray before = readAll(log.fileName());
    QSignalSpy spy(&log, &PersistentLog::screenLine);

    // The file cannot grow any more: the write fails even for a privileged user.
    struct rlimit saved;
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit = saved;
    limit.rlim_cur = rlim_t(before.size());
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &limit), 0);
    log.appendAt(QStringLiteral("lost on disk"), m_when);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    QVERIFY(!log.isOpen());
    const QStringList lines = screenLines(spy);
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines.at(0), QStringLiteral("[07:08:09.012] lost on disk"));
    QVERIFY(lines.at(1).startsWith(
        QStringLiteral("[07:08:09.012] Could not write the persistent log: ")));
    QVERIFY(lines.at(1).size() >
            QStringLiteral("[07:08:09.012] Could not write the persistent log: ").size());

    // Later messages appear on screen only; the file is not reopened.
    log.appendAt(QStringLiteral("after"), m_when);
    QCOMPARE(screenLines(spy).last(), QStringLiteral("[07:08:09.012] after"));
    QCOMPARE(spy.count(), 3);
    QVERIFY(!readAll(log.fileName()).contains("after"));
}

void TestPersistentLog::openFailureStaysOnScreen()
{
    QTemporaryDir dir;
    // A folder where the log file should be makes the open fail.
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("Corvin.log")));
    PersistentLog log;
    QSignalSpy spy(&log, &PersistentLog::screenLine);
    QVERIFY(!log.open(dir.path()));
    QVERIFY(!log.isOpen());
    QCOMPARE(spy.count(), 1);
    QVERIFY(spy.at(0).at(0).toString().contains(
        QStringLiteral("] Could not open the persistent log: ")));
    log.appendAt(QStringLiteral("screen only"), m_when);
    QCOMPARE(spy.count(), 2);
}

QTEST_GUILESS_MAIN(TestPersistentLog)
#include "tst_persistentlog.moc"
