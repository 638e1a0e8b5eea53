#include "preferences.h"
#include "preferenceslayout.h"

#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

// The XML preference file: format on disk, reading rules, atomic replacement, and options
// streamed into the text.
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
    void quickReaderAgreesWithXmlReader_data();
    void quickReaderAgreesWithXmlReader();
    void skippedOptionsAreCheckedButNotLoaded();
    void streamedOptionsJoinTheirGroup_data();
    void streamedOptionsJoinTheirGroup();

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

void TestPreferences::quickReaderAgreesWithXmlReader_data()
{
    QTest::addColumn<QByteArray>("body"); // between the root's start and end lines
    QTest::addColumn<bool>("quick");      // the quick reader takes it
    QTest::addColumn<bool>("readable");

    QTest::newRow("plain") << QByteArray("<group name=\"A\">\n<option key=\"a\" value=\"1\"/>\n"
                                         "<option key=\"b\" value=\"\"/>\n</group>\n<group "
                                         "name=\"B\">\n<option key=\"c\" value=\"x y\"/>\n"
                                         "</group>\n")
                           << true << true;
    QTest::newRow("references")
        << QByteArray("<group name=\"&lt;g&gt;\">\n<option key=\"k&amp;\" "
                      "value=\"&quot;a&#10;b&#13;c&#9;d&amp;&lt;&gt;\"/>\n</group>\n")
        << true << true;
    QTest::newRow("UTF-8") << QByteArray("<group name=\"G\">\n<option key=\"Citt\xc3\xa0\" "
                                         "value=\"\xe2\x82\xac &amp; \xf0\x9f\x93\xbb\"/>\n"
                                         "</group>\n")
                           << true << true;
    QTest::newRow("later duplicate wins")
        << QByteArray("<group name=\"G\">\n<option key=\"k\" value=\"1\"/>\n<option key=\"j\" "
                      "value=\"2\"/>\n<option key=\"k\" value=\"3\"/>\n</group>\n")
        << true << true;
    QTest::newRow("empty group") << QByteArray("<group name=\"E\">\n</group>\n") << true << true;
    QTest::newRow("no groups") << QByteArray() << true << true;
    QTest::newRow("raw tab") << QByteArray("<group name=\"G\">\n<option key=\"k\" value=\"a\tb\"/>"
                                           "\n</group>\n")
                             << false << true;
    QTest::newRow("other reference")
        << QByteArray("<group name=\"G\">\n<option key=\"k\" value=\"&apos;&#x41;\"/>\n"
                      "</group>\n")
        << false << true;
    QTest::newRow("C1 control") << QByteArray("<group name=\"G\">\n<option key=\"k\" "
                                              "value=\"\xc2\x85\"/>\n</group>\n")
                                << false << true;
    QTest::newRow("delete") << QByteArray("<group name=\"G\">\n<option key=\"k\" value=\"\x7f\"/>"
                                          "\n</group>\n")
                            << false << true;
    QTest::newRow("nested group")
        << QByteArray("<group name=\"A\">\n<group name=\"B\">\n<option key=\"k\" value=\"v\"/>\n"
                      "</group>\n</group>\n")
        << false << true;
    QTest::newRow("option outside groups")
        << QByteArray("<option key=\"k\" value=\"v\"/>\n") << false << true;
    QTest::newRow("single quotes") << QByteArray("<group name='G'>\n</group>\n") << false << true;
    QTest::newRow("not UTF-8") << QByteArray("<group name=\"G\">\n<option key=\"k\" "
                                             "value=\"\xff\"/>\n</group>\n")
                               << false << false;
    QTest::newRow("bare ampersand") << QByteArray("<group name=\"G\">\n<option key=\"k\" "
                                                  "value=\"a & b\"/>\n</group>\n")
                                    << false << false;
    QTest::newRow("less-than") << QByteArray("<group name=\"G\">\n<option key=\"k\" "
                                             "value=\"a < b\"/>\n</group>\n")
                               << false << false;
    QTest::newRow("unclosed group")
        << QByteArray("<group name=\"G\">\n<option key=\"k\" value=\"v\"/>\n") << false << false;
}

// The quick reader must read exactly what the XML reader reads: the same text with one more
// line feed at the end, which only the XML reader takes, is the oracle.
void TestPreferences::quickReaderAgreesWithXmlReader()
{
    QFETCH(QByteArray, body);
    QFETCH(bool, quick);
    QFETCH(bool, readable);
    const QByteArray text = "<!DOCTYPE preferences>\n<preferences version=\"1\" "
                            "application=\"Fmt\">\n" +
                            body + "</preferences>\n";

    PreferencesLayout::Groups groups;
    QString application;
    bool optionsRead = false;
    QCOMPARE(PreferencesLayout::read(text, {}, &groups, &application, &optionsRead), quick);

    if (quick) {
        QCOMPARE(application, QStringLiteral("Fmt"));
        QCOMPARE(optionsRead, body.contains("<option"));
    }

    QByteArray written[2];
    const QByteArray variants[2] = {text, text + "\n"};
    for (int i = 0; i < 2; ++i) {
        const QString file = path(QStringLiteral("agree%1.xml").arg(i));
        writeText(file, variants[i]);
        Preferences prefs(file, QStringLiteral("Fmt"), QStringLiteral("1"));
        prefs.readData();
        QVERIFY(prefs.fileState());
        QCOMPARE(prefs.formatState(), readable);
        QCOMPARE(prefs.errorText().isEmpty(), readable);
        if (readable) {
            // What was read, written out whole.
            prefs.writeData();
            QVERIFY(prefs.fileState());
            written[i] = readText(file);
        }
        prefs.setModified(false);
    }
    QCOMPARE(written[0], written[1]);
}

void TestPreferences::skippedOptionsAreCheckedButNotLoaded()
{
    const QByteArray body = "<group name=\"A\">\n<option key=\"drop\" value=\"1\"/>\n<option "
                            "key=\"keep\" value=\"2\"/>\n</group>\n<group name=\"B\">\n<option "
                            "key=\"drop\" value=\"3\"/>\n</group>\n";
    const QByteArray text = "<!DOCTYPE preferences>\n<preferences version=\"1\" "
                            "application=\"Fmt\">\n" +
                            body + "</preferences>\n";
    const auto skip = [](const QString &group, const QString &key) {
        return group == QLatin1String("A") && key == QLatin1String("drop");
    };
    // The quick reader, the XML reader, and a file broken after the skipped option.
    const QByteArray variants[] = {text, text + "\n", text + "<extra/>\n"};
    for (const QByteArray &variant : variants) {
        const QString file = path(QStringLiteral("skip.xml"));
        writeText(file, variant);
        Preferences prefs(file, QStringLiteral("Fmt"), QStringLiteral("1"));
        prefs.readData(skip);
        prefs.setModified(false);
        if (variant.endsWith("<extra/>\n")) {
            QVERIFY(!prefs.formatState());
            continue;
        }
        QVERIFY(prefs.formatState());
        prefs.setGroup(QStringLiteral("A"));
        QCOMPARE(prefs.options(), (QMap<QString, QString>{{QStringLiteral("keep"), "2"}}));
        prefs.setGroup(QStringLiteral("B"));
        QCOMPARE(prefs.options(), (QMap<QString, QString>{{QStringLiteral("drop"), "3"}}));
    }
}

void TestPreferences::streamedOptionsJoinTheirGroup_data()
{
    QTest::addColumn<PreferencesLayout::Groups>("stored");
    QTest::addColumn<QString>("group");
    QTest::addColumn<QStringList>("streamedKeys"); // ascending; each value is "s" + key

    const PreferencesLayout::Groups stored{
        {"A", {{"x", "1"}}}, {"G", {{"b", "2"}, {"d", "3"}, {"f", "<&>"}}}, {"Z", {{"y", "4"}}}};
    QTest::newRow("before, between and after")
        << stored << "G" << QStringList{"a", "c", "e", "g", "h"};
    QTest::newRow("same key replaces") << stored << "G" << QStringList{"b", "f"};
    QTest::newRow("group not stored") << stored << "M" << QStringList{"k", "l"};
    QTest::newRow("nothing streamed") << stored << "M" << QStringList{};
    QTest::newRow("nothing stored")
        << PreferencesLayout::Groups() << "" << QStringList{"\"quoted\"", "line\nfeed"};
}

// The text is the one the general writer gives for the merged map.
void TestPreferences::streamedOptionsJoinTheirGroup()
{
    QFETCH(PreferencesLayout::Groups, stored);
    QFETCH(QString, group);
    QFETCH(QStringList, streamedKeys);
    const PreferencesLayout::StreamedOptions streamed{
        group, [&streamedKeys](const PreferencesLayout::OptionSink &sink) {
            for (const QString &key : streamedKeys)
                sink(key, "s" + key);
        }};
    PreferencesLayout::Groups merged = stored;
    QMap<QString, QString> &options = merged[group];
    for (const QString &key : streamedKeys)
        options.insert(key, "s" + key);
    QCOMPARE(PreferencesLayout::text("1", "Fmt", stored, streamed),
             PreferencesLayout::text("1", "Fmt", merged));
}

QTEST_GUILESS_MAIN(TestPreferences)
#include "tst_preferences.moc"
