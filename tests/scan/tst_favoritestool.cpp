// corvin-favorites as a program: its commands and exit codes, the lock that keeps it from
// writing while Corvin runs, and saves that survive SIGKILL at any moment (the file is always
// the old or the new one).
#include "chirpcsv.h"
#include "favoritesfile.h"
#include "favoriteslock.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

namespace {

struct Run
{
    int exitCode = -1;
    QString out;
    QString err;
};

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

QVector<Favorite> numbered(int count, qint64 base, const QString &name)
{
    QVector<Favorite> favorites;
    for (int i = 0; i < count; ++i)
        favorites.append({base + i * 12500,
                          QStringLiteral("%1 %2").arg(name).arg(i),
                          "NFM",
                          {{"notes", "n"}, {"s_meter", QString::number(i % 256)}}});
    return favorites;
}

} // namespace

class FavoritesToolTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void commands();
    void failures_data();
    void failures();
    void lockRefusesChanges();
    void killedSaveLeavesOldOrNewFile();

private:
    Run run(const QStringList &arguments);
    QProcess *start(const QStringList &arguments);
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_file;
};

void FavoritesToolTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_file = m_dir->filePath("sys/favorites.xml");
}

QProcess *FavoritesToolTest::start(const QStringList &arguments)
{
    auto *process = new QProcess(this);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("CORVIN_DATA_DIR", m_dir->filePath("data"));
    process->setProcessEnvironment(environment);
    process->setWorkingDirectory(m_dir->path());
    process->start(qEnvironmentVariable("CORVIN_FAVORITES"), arguments);
    return process;
}

Run FavoritesToolTest::run(const QStringList &arguments)
{
    QProcess *process = start(arguments);
    Run result;
    if (process->waitForFinished(20000) && process->exitStatus() == QProcess::NormalExit)
        result.exitCode = process->exitCode();
    result.out = QString::fromLocal8Bit(process->readAllStandardOutput());
    result.err = QString::fromLocal8Bit(process->readAllStandardError());
    delete process;
    return result;
}

void FavoritesToolTest::commands()
{
    QString error;
    QVERIFY(FavoritesFile::save(
        m_file,
        {{145500000, "Repeater\tEast", "NFM", {{"notes", "a\nb"}}}, {7050000, "Forty", "LSB", {}}},
        &error));
    // The default file is ./sys/favorites.xml below the working directory.
    Run list = run({"list"});
    QCOMPARE(list.exitCode, 0);
    QCOMPARE(list.out.split('\n', Qt::SkipEmptyParts),
             (QStringList{"MHz\tName\tMode\tS-meter\tRMS (dBFS)\tPeak (dBFS)\tQuality\t"
                          "Classification\tDiscovered\tBand\tNotes",
                          "145.500000\tRepeater East\tNFM\t\t\t\t\t\t\tVHF\ta b",
                          "7.050000\tForty\tLSB\t\t\t\t\t\t\tHF\t"}));

    const QString csv = m_dir->filePath("out.csv");
    Run exported = run({"--file", m_file, "export-chirp", csv});
    QCOMPARE(exported.exitCode, 0);
    QCOMPARE(exported.out.trimmed(), csv);
    QCOMPARE(ChirpCsv::importFavorites(readAll(csv), {}).added.size(), 2);

    writeAll(csv, readAll(csv) + "2,New,446.006250,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,"
                                 "NFM,5.00,,50W,,,,,\r\n9,Far,5000,,,,,,,,,,FM,,,,,,,,\r\n");
    Run imported = run({"--file=" + m_file, "import-chirp", csv});
    QCOMPARE(imported.exitCode, 0);
    QCOMPARE(imported.out, QStringLiteral("1 added, 2 already present, 1 outside 0.1-3000 MHz, 0 "
                                          "unreadable\n"));
    const QVector<Favorite> now = FavoritesFile::load(m_file, {}).favorites;
    QCOMPARE(now.size(), 3);
    QCOMPARE(now.last().mode, QStringLiteral("SFM"));

    Run report = run({"report"});
    QCOMPARE(report.exitCode, 0);
    const QString path = report.out.trimmed();
    QVERIFY2(path.startsWith(m_dir->filePath("data/reports/favorites_")), qPrintable(path));
    QVERIFY(readAll(path).contains("3 favorites"));

    Run help = run({"--help"});
    QCOMPARE(help.exitCode, 0);
    QVERIFY(help.out.contains("--file PATH"));
    QVERIFY(help.out.contains("usage: corvin-favorites import-chirp CSV"));
}

void FavoritesToolTest::failures_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("favorites");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("err");
    QTest::newRow("no command") << QStringList{} << QByteArray() << 2 << "usage:";
    QTest::newRow("unknown command")
        << QStringList{"erase"} << QByteArray() << 2 << "error: unknown command erase";
    QTest::newRow("--file without path")
        << QStringList{"--file"} << QByteArray() << 2 << "--file needs a path";
    QTest::newRow("import without file") << QStringList{"import-chirp"} << QByteArray() << 2
                                         << "usage: corvin-favorites import-chirp CSV";
    QTest::newRow("missing CSV") << QStringList{"import-chirp", "none.csv"} << QByteArray() << 2
                                 << "error: cannot read none.csv";
    QTest::newRow("not CHIRP") << QStringList{"import-chirp", "sys/notes.txt"} << QByteArray() << 1
                               << "sys/notes.txt is not a CHIRP CSV file: no Frequency column";
    QTest::newRow("unreadable favourites") << QStringList{"list"} << QByteArray("<broken") << 1
                                           << "error: cannot read the favourites file";
}

void FavoritesToolTest::failures()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, favorites);
    QFETCH(int, exitCode);
    QFETCH(QString, err);
    QDir().mkpath(m_dir->filePath("sys"));
    writeAll(m_dir->filePath("sys/notes.txt"), "Name,Mode\nA,FM\n");
    if (!favorites.isEmpty())
        writeAll(m_file, favorites);
    const Run result = run(arguments);
    QCOMPARE(result.exitCode, exitCode);
    QVERIFY2(result.err.contains(err), qPrintable(result.err));
    QCOMPARE(readAll(m_file), favorites);
}

void FavoritesToolTest::lockRefusesChanges()
{
    QString error;
    QVERIFY(FavoritesFile::save(m_file, numbered(2, 145000000, "Old"), &error));
    const QByteArray before = readAll(m_file);
    const QString csv = m_dir->filePath("in.csv");
    writeAll(csv, ChirpCsv::exportFavorites(numbered(2, 430000000, "New")));
    {
        FavoritesLock corvin(m_file);
        QVERIFY(corvin.tryLock());
        Run refused = run({"import-chirp", csv});
        QCOMPARE(refused.exitCode, 1);
        QCOMPARE(refused.err,
                 QStringLiteral("error: the favourites file %1 is in use by Corvin (process %2); "
                                "close Corvin and try again\n")
                     .arg(QStringLiteral("./sys/favorites.xml"))
                     .arg(QCoreApplication::applicationPid()));
        QCOMPARE(readAll(m_file), before);
        QCOMPARE(run({"list"}).exitCode, 0); // reading is fine
    }
    QCOMPARE(run({"import-chirp", csv}).exitCode, 0);
    QCOMPARE(FavoritesFile::load(m_file, {}).favorites.size(), 4);
}

void FavoritesToolTest::killedSaveLeavesOldOrNewFile()
{
    QString error;
    const QVector<Favorite> old = numbered(4000, 144000000, "Old");
    QVERIFY(FavoritesFile::save(m_file, old, &error));
    const QByteArray oldBytes = readAll(m_file);
    const QString csv = m_dir->filePath("in.csv");
    writeAll(csv, ChirpCsv::exportFavorites(numbered(4000, 430000000, "New")));

    // One complete run gives the new file and the time a run takes.
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(run({"import-chirp", csv}).exitCode, 0);
    const qint64 fullMs = clock.elapsed();
    const QByteArray newBytes = readAll(m_file);
    QCOMPARE(FavoritesFile::load(m_file, {}).favorites.size(), 8000);

    int oldSeen = 0;
    int newSeen = 0;
    for (int round = 0; round < 16; ++round) {
        writeAll(m_file, oldBytes);
        QProcess *process = start({"import-chirp", csv});
        QVERIFY(process->waitForStarted());
        QTest::qSleep(QRandomGenerator::global()->bounded(int(fullMs + 20)));
        ::kill(static_cast<pid_t>(process->processId()), SIGKILL);
        QVERIFY(process->waitForFinished(5000));
        delete process;
        const QByteArray bytes = readAll(m_file);
        QVERIFY2(bytes == oldBytes || bytes == newBytes, qPrintable(QString::number(round)));
        (bytes == oldBytes ? oldSeen : newSeen) += 1;
    }
    qInfo("after SIGKILL: %d times the old file, %d times the new one (a run takes %lld ms)",
          oldSeen, newSeen, fullMs);
    // The lock of a killed run does not block the next one.
    writeAll(m_file, oldBytes);
    QCOMPARE(run({"import-chirp", csv}).exitCode, 0);
    QCOMPARE(readAll(m_file), newBytes);
}

QTEST_GUILESS_MAIN(FavoritesToolTest)
#include "tst_favoritestool.moc"
