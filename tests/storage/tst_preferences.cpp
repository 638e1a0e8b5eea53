#include "preferences.h"

#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

// The XML preference file: format on disk, reading rules and atomic replacement.
class TestPreferences : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void roundTripKeepsGroupsAndValuesInOrder();
    void rejectedFiles_data();
    void rejectedFiles();
    void missingFileLeavesContentUntouched();
    void laterDuplicateKeyWinsAndDefaultsApply();
    void removeKeyDeletesFromCurrentGroupOnly();
    void destructorWritesUnsavedChanges();
    void failedWriteKeepsTheOldFile();

private:
    QString path(const QString &name) const { return m_dir.filePath(name); }
    static void writeText(const QString &path, const QByteArray &text);
    static QByteArray readText(const QString &path);

    QTemporaryDir m_dir;
};

void TestPreferences::init()
{
    QVERIFY(m_dir.isValid());
}

void TestPreferences::writeText(const QString &path, const QByteArray &text)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text);
}

QByteArray TestPreferences::readText(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void TestPreferences::roundTripKeepsGroupsAndValuesInOrder()
{
    const QString file = path(QStringLiteral("sub/dir/favorites.xml"));
    {
        Preferences prefs(file, QStringLiteral("Corvin Favorites"), QStringLiteral("1.0"));
        prefs.setGroup(QStringLiteral("Frequency.List"));
        prefs.setString(QStringLiteral("b"), QStringLiteral("two & <three>"));
        prefs.setString(QStringLiteral("a"), QStringLiteral("line one\nline two\t\"quoted\""));
        prefs.setGroup(QStringLiteral("Default"));
        prefs.setString(QStringLiteral("Counts"), QStringLiteral("2"));
        prefs.setString(QStringLiteral("Name"), QStringLiteral("Città"));
        QVERIFY(prefs.modified());
        prefs.writeData();
        QVERIFY(prefs.fileState());
        QVERIFY(prefs.formatState());
    }

    const QList<QByteArray> lines = readText(file).split('\n');
    QCOMPARE(lines.value(0), QByteArray("<!DOCTYPE preferences>"));
    QVERIFY(lines.value(1).startsWith("<preferences "));
    QVERIFY(lines.value(1).contains("application=\"Corvin Favorites\""));
    QVERIFY(lines.value(1).contains("version=\"1.0\""));
    // Groups and keys in ascending order, one element per line, no indentation.
    QCOMPARE(lines.value(2), QByteArray("<group name=\"Default\">"));
    QVERIFY(lines.value(3).startsWith("<option key=\"Counts\""));
    QVERIFY(lines.value(4).startsWith("<option key=\"Name\""));
    QCOMPARE(lines.value(5), QByteArray("</group>"));
    QCOMPARE(lines.value(6), QByteArray("<group name=\"Frequency.List\">"));
    QVERIFY(lines.value(7).startsWith("<option key=\"a\""));
    QVERIFY(lines.value(8).startsWith("<option key=\"b\""));
    QCOMPARE(lines.value(10), QByteArray("</preferences>"));
    QCOMPARE(lines.size(), 12); // the last line feed leaves one empty part

    Preferences again(file, QStringLiteral("Corvin Favorites"), QStringLiteral("9.9"));
    again.readData();
    QVERIFY(again.fileState());
    QVERIFY(again.formatState());
    again.setGroup(QStringLiteral("Default"));
    QCOMPARE(again.getString(QStringLiteral("Name")), QStringLiteral("Città"));
    QCOMPARE(again.getString(QStringLiteral("Counts")), QStringLiteral("2"));
    again.setGroup(QStringLiteral("Frequency.List"));
    QCOMPARE(again.getString(QStringLiteral("a")),
             QStringLiteral("line one\nline two\t\"quoted\""));
    QCOMPARE(again.getString(QStringLiteral("b")), QStringLiteral("two & <three>"));
    again.setModified(false);
}

void TestPreferences::rejectedFiles_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("other application")
        << QByteArray("<!DOCTYPE preferences>\n<preferences version=\"1\" application=\"Other\">\n"
                      "<group name=\"Default\">\n<option key=\"k\" value=\"v\"/>\n</group>\n"
                      "</preferences>\n");
    QTest::newRow("other document type")
        << QByteArray("<!DOCTYPE settings>\n<preferences version=\"1\" application=\"Fmt\">\n"
                      "<group name=\"Default\">\n<option key=\"k\" value=\"v\"/>\n</group>\n"
                      "</preferences>\n");
    QTest::newRow("parse error") << QByteArray(
        "<!DOCTYPE preferences>\n<preferences version=\"1\" application=\"Fmt\">\n"
        "<group name=\"Default\">\n<option key=\"k\" value=\"v\"/>\n");
}

void TestPreferences::rejectedFiles()
{
    QFETCH(QByteArray, content);
    const QString file = path(QStringLiteral("rejected.xml"));
    writeText(file, content);
    Preferences prefs(file, QStringLiteral("Fmt"), QStringLiteral("1"));
    prefs.setGroup(QStringLiteral("Default"));
    prefs.setString(QStringLiteral("k"), QStringLiteral("before"));
    prefs.setModified(false);
    prefs.readData();
    QVERIFY(prefs.fileState());
    QVERIFY(!prefs.formatState());
    QVERIFY(!prefs.modified());
    QCOMPARE(prefs.getString(QStringLiteral("k")), QStringLiteral("before"));
}

void TestPreferences::missingFileLeavesContentUntouched()
{
    Preferences prefs(path(QStringLiteral("absent.xml")), QStringLiteral("Fmt"),
                      QStringLiteral("1"));
    prefs.setGroup(QStringLiteral("Default"));
    prefs.setString(QStringLiteral("k"), QStringLiteral("kept"));
    prefs.readData();
    QVERIFY(!prefs.fileState());
    QCOMPARE(prefs.getString(QStringLiteral("k")), QStringLiteral("kept"));
    prefs.setModified(false);
    QVERIFY(!QFile::exists(path(QStringLiteral("absent.xml"))));
}

void TestPreferences::laterDuplicateKeyWinsAndDefaultsApply()
{
    const QString file = path(QStringLiteral("dup.xml"));
    writeText(file, "<!DOCTYPE preferences>\n<preferences version=\"1\" application=\"Fmt\">\n"
                    "<group name=\"G\">\n<option key=\"k\" value=\"first\"/>\n"
                    "<option key=\"empty\" value=\"\"/>\n<option key=\"k\" value=\"second\"/>\n"
                    "</group>\n<group>\n<option value=\"unnamed\"/>\n</group>\n"
                    "</preferences>\n");
    Preferences prefs(file, QStringLiteral("Fmt"), QStringLiteral("1"));
    prefs.readData();
    QVERIFY(prefs.formatState());
    QVERIFY(prefs.modified()); // every stored option marks the content modified
    prefs.setGroup(QStringLiteral("G"));
    QCOMPARE(prefs.getString(QStringLiteral("k"), QStringLiteral("dflt")),
             QStringLiteral("second"));
    QCOMPARE(prefs.getString(QStringLiteral("empty"), QStringLiteral("dflt")),
             QStringLiteral("dflt"));
    QCOMPARE(prefs.lastValue(), QString());
    QCOMPARE(prefs.getString(QStringLiteral("missing"), QStringLiteral("dflt")),
             QStringLiteral("dflt"));
    // A group without a name is "Default", an option without a key has the empty key.
    prefs.setGroup(QStringLiteral("Default"));
    QCOMPARE(prefs.getString(QString()), QStringLiteral("unnamed"));
    prefs.setModified(false);
}

void TestPreferences::removeKeyDeletesFromCurrentGroupOnly()
{
    Preferences prefs(path(QStringLiteral("remove.xml")), QStringLiteral("Fmt"),
                      QStringLiteral("1"));
    prefs.setGroup(QStringLiteral("A"));
    prefs.setString(QStringLiteral("k"), QStringLiteral("a"));
    prefs.setGroup(QStringLiteral("B"));
    prefs.setString(QStringLiteral("k"), QStringLiteral("b"));
    prefs.setModified(false);
    prefs.removeKey(QStringLiteral("k"));
    QVERIFY(prefs.modified());
    QCOMPARE(prefs.getString(QStringLiteral("k"), QStringLiteral("gone")), QStringLiteral("gone"));
    prefs.setGroup(QStringLiteral("A"));
    QCOMPARE(prefs.getString(QStringLiteral("k")), QStringLiteral("a"));
    prefs.setModified(false);
}

void TestPreferences::destructorWritesUnsavedChanges()
{
    const QString file = path(QStringLiteral("auto.xml"));
    {
        Preferences prefs(file, QStringLiteral("Fmt"), QStringLiteral("1"));
        prefs.setGroup(QStringLiteral("Default"));
        prefs.setString(QStringLiteral("k"), QStringLiteral("v"));
    }
    QVERIFY(readText(file).contains("<option key=\"k\" value=\"v\"/>"));

    // Read and left unmodified: not rewritten.
    writeText(file, readText(file) + "<!-- marker -->\n");
    {
        Preferences prefs(file, QStringLiteral("Fmt"), QStringLiteral("1"));
        prefs.readData();
        prefs.setModified(false);
    }
    QVERIFY(readText(file).contains("marker"));
}

void TestPreferences::failedWriteKeepsTheOldFile()
{
    const QString file = path(QStringLiteral("atomic/atomic.xml"));
    {
        Preferences prefs(file, QStringLiteral("Fmt"), QStringLiteral("1"));
        prefs.setGroup(QStringLiteral("Default"));
        prefs.setString(QStringLiteral("k"), QStringLiteral("old"));
        prefs.writeData();
        QVERIFY(prefs.fileState());
    }
    const QByteArray before = readText(file);

    Preferences big(file, QStringLiteral("Fmt"), QStringLiteral("1"));
    big.setGroup(QStringLiteral("Default"));
    for (int i = 0; i < 2000; ++i)
        big.setString(QStringLiteral("key%1").arg(i), QString(40, QLatin1Char('x')));

    // A file size limit makes the write fail half-way, even for a privileged user.
    struct rlimit saved;
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit = saved;
    limit.rlim_cur = 4096;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &limit), 0);
    big.writeData();
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    QVERIFY(!big.fileState());
    QVERIFY(!big.formatState());
    QCOMPARE(readText(file), before);
    QCOMPARE(QDir(path(QStringLiteral("atomic"))).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("atomic.xml")});
    big.setModified(false);

    // A file that cannot be opened for writing (its folder is a file) clears fileState.
    Preferences blocked(path(QStringLiteral("atomic/atomic.xml/inner.xml")), QStringLiteral("Fmt"),
                        QStringLiteral("1"));
    blocked.setString(QStringLiteral("k"), QStringLiteral("v"));
    blocked.writeData();
    QVERIFY(!blocked.fileState());
    blocked.setModified(false);
}

QTEST_GUILESS_MAIN(TestPreferences)
#include "tst_preferences.moc"
