#include "datafolders.h"

#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

// Choosing the data folder: the override, the folder beside the executable, the fall-back.
class TestDataFolders : public QObject
{
    Q_OBJECT

private slots:
    void resolve_data();
    void resolve();
    void besideExecutable_data();
    void besideExecutable();
    void perUserIsSharedByEveryProgram();
    void overrideFromEnvironment();
};

void TestDataFolders::resolve_data()
{
    QTest::addColumn<QString>("overrideDir");
    QTest::addColumn<QString>("beside");
    QTest::addColumn<QString>("expected");
    QTest::newRow("beside the executable")
        << QString() << QStringLiteral("app/data") << QStringLiteral("app/data");
    QTest::newRow("override wins")
        << QStringLiteral("custom") << QStringLiteral("app/data") << QStringLiteral("custom");
    // "blocker" is a file, so no folder can be created below it, even by a privileged user.
    QTest::newRow("cannot be created")
        << QString() << QStringLiteral("blocker/data") << QStringLiteral("user");
    QTest::newRow("no executable folder") << QString() << QString() << QStringLiteral("user");
}

void TestDataFolders::resolve()
{
    QFETCH(QString, overrideDir);
    QFETCH(QString, beside);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    QFile blocker(dir.filePath(QStringLiteral("blocker")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const auto in = [&dir](const QString &name) {
        return name.isEmpty() ? QString() : dir.filePath(name);
    };

    const QString chosen =
        DataFolders::resolve(in(overrideDir), in(beside), in(QStringLiteral("user")));
    QCOMPARE(chosen, in(expected));
    QVERIFY(QFileInfo(chosen).isDir());
    // The probe file used to test the folder is gone.
    QCOMPARE(QDir(chosen).entryList(QDir::Files | QDir::Hidden), QStringList());
}

// An installed program (in a "bin" folder) never writes beside itself.
void TestDataFolders::besideExecutable_data()
{
    QTest::addColumn<QString>("executableFolder");
    QTest::addColumn<QString>("expected");
    QTest::newRow("build tree") << "/home/op/corvin/build/app"
                                << "/home/op/corvin/build/app/data";
    QTest::newRow("portable folder") << "/opt/corvin"
                                     << "/opt/corvin/data";
    QTest::newRow("folder named like bin") << "/opt/bins"
                                           << "/opt/bins/data";
    QTest::newRow("system") << "/usr/bin" << QString();
    QTest::newRow("local") << "/usr/local/bin" << QString();
    QTest::newRow("user") << "/home/op/.local/bin" << QString();
    QTest::newRow("trailing slash") << "/usr/bin/" << QString();
    QTest::newRow("unknown") << QString() << QString();
}

void TestDataFolders::besideExecutable()
{
    QFETCH(QString, executableFolder);
    QFETCH(QString, expected);
    QCOMPARE(DataFolders::besideExecutable(executableFolder), expected);
}

void TestDataFolders::perUserIsSharedByEveryProgram()
{
    // Whatever this program is called, its per-user folder is Corvin's.
    QCoreApplication::setApplicationName(QStringLiteral("corvin-something"));
    QCOMPARE(DataFolders::perUser(),
             QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                 QStringLiteral("/Brevallo/Corvin"));
}

void TestDataFolders::overrideFromEnvironment()
{
    QTemporaryDir dir;
    const QString root = dir.filePath(QStringLiteral("env-data"));
    const QByteArray saved = qgetenv("CORVIN_DATA_DIR");
    qputenv("CORVIN_DATA_DIR", root.toUtf8());
    QCOMPARE(DataFolders::dataFolder(), root);
    QCOMPARE(DataFolders::path(QString::fromLatin1(DataFolders::anomalyObservations)),
             root + QStringLiteral("/anomaly/observations"));
    QVERIFY(!QFileInfo::exists(root + QStringLiteral("/rf")));
    QCOMPARE(DataFolders::ensure(QString::fromLatin1(DataFolders::rf)),
             root + QStringLiteral("/rf"));
    QVERIFY(QFileInfo(root + QStringLiteral("/rf")).isDir());

    // A sub-folder that cannot be created gives an empty path.
    QFile blocker(root + QStringLiteral("/file"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QCOMPARE(DataFolders::ensure(QStringLiteral("file/sub")), QString());

    // The folder stays the one chosen first for the rest of the run.
    qputenv("CORVIN_DATA_DIR", dir.filePath(QStringLiteral("elsewhere")).toUtf8());
    QCOMPARE(DataFolders::dataFolder(), root);
    QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("elsewhere"))));
    qputenv("CORVIN_DATA_DIR", saved);
}

QTEST_GUILESS_MAIN(TestDataFolders)
#include "tst_datafolders.moc"
