#include "integritycheck.h"
#include "settingskeys.h"
#include "startup.h"
#include "stylesheet.h"

#include <QApplication>
#include <QLabel>
#include <QSettings>
#include <QStandardPaths>
#include <QStyle>
#include <QTemporaryDir>
#include <QTranslator>
#include <QtTest>

namespace {

QStringList g_warnings;

void collectWarnings(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type != QtDebugMsg && type != QtInfoMsg)
        g_warnings.append(message);
}

} // namespace

// Start-up: language rule, locale, palette, style sheet and the executable's self-check.
class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void languageRule_data();
    void languageRule();
    void languageFromSettings();
    void numbersUseAPoint();
    void styleSheetParsesAndApplies();
    void integrity_data();
    void integrity();
    void recordPath_data();
    void recordPath();
    void builtProgramHasItsRecord();

private:
    QTemporaryDir m_dir;
    QString m_catalogue;
};

void TestStartup::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QSettings().clear();
    QCoreApplication::setOrganizationName(QString::fromLatin1(SettingsKeys::organization));
    QCoreApplication::setApplicationName(QString::fromLatin1(SettingsKeys::application));
    QVERIFY(m_dir.isValid());
    // The test embeds a small catalogue at the program's resource path.
    m_catalogue = QString::fromLatin1(Startup::catalogueResource);
    QVERIFY(QFile::exists(m_catalogue));
}

void TestStartup::languageRule_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("cataloguePresent");
    QTest::addColumn<QString>("expected");
    QTest::newRow("it") << QStringLiteral("it") << true << QStringLiteral("it");
    QTest::newRow("IT") << QStringLiteral("IT") << true << QStringLiteral("en");
    QTest::newRow("it with space") << QStringLiteral("it ") << true << QStringLiteral("en");
    QTest::newRow("en") << QStringLiteral("en") << true << QStringLiteral("en");
    QTest::newRow("other") << QStringLiteral("de") << true << QStringLiteral("en");
    QTest::newRow("no catalogue") << QStringLiteral("it") << false << QStringLiteral("en");
}

void TestStartup::languageRule()
{
    QFETCH(QString, stored);
    QFETCH(bool, cataloguePresent);
    QFETCH(QString, expected);
    QTranslator translator;
    const QString catalogue =
        cataloguePresent ? m_catalogue : m_dir.filePath(QStringLiteral("missing.qm"));
    QCOMPARE(Startup::chooseLanguage(stored, translator, catalogue), expected);
    QCOMPARE(translator.isEmpty(), expected != QLatin1String("it"));
}

void TestStartup::languageFromSettings()
{
    auto *app = qobject_cast<QApplication *>(QCoreApplication::instance());
    QSettings store;
    QTranslator translator;
    store.setValue(QString::fromLatin1(SettingsKeys::language), QStringLiteral("IT"));
    store.sync();
    QCOMPARE(Startup::installLanguage(*app, translator), QStringLiteral("en"));
    QCOMPARE(app->property("language").toString(), QStringLiteral("en"));
    QCOMPARE(QCoreApplication::translate("TestStartup", "Receiver"), QStringLiteral("Receiver"));
    store.remove(QString::fromLatin1(SettingsKeys::language));
    store.sync();
    QCOMPARE(Startup::installLanguage(*app, translator), QStringLiteral("en"));

    store.setValue(QString::fromLatin1(SettingsKeys::language), QStringLiteral("it"));
    store.sync();
    QCOMPARE(Startup::installLanguage(*app, translator), QStringLiteral("it"));
    QCOMPARE(app->property("language").toString(), QStringLiteral("it"));
    QCOMPARE(QCoreApplication::translate("TestStartup", "Receiver"), QStringLiteral("Ricevitore"));
    QCoreApplication::removeTranslator(&translator);
    store.clear();
}

void TestStartup::numbersUseAPoint()
{
    auto *app = qobject_cast<QApplication *>(QCoreApplication::instance());
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    Startup::applyStyleFontAndLocale(*app);
    QCOMPARE(QLocale().toString(1234.5, 'f', 2), QStringLiteral("1234.50"));
    bool ok = false;
    QCOMPARE(QLocale().toDouble(QStringLiteral("145.5"), &ok), 145.5);
    QVERIFY(ok);
    QCOMPARE(app->style()->objectName().toLower(), QStringLiteral("fusion"));
    QCOMPARE(app->font().family(), QStringLiteral("Segoe UI"));
    QCOMPARE(app->font().pointSize(), 10);
}

void TestStartup::styleSheetParsesAndApplies()
{
    auto *app = qobject_cast<QApplication *>(QCoreApplication::instance());
    g_warnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler(collectWarnings);
    app->setPalette(Startup::applicationPalette());
    app->setStyleSheet(applicationStyleSheet());
    QWidget window;
    window.setObjectName(QStringLiteral("CorvinClass"));
    auto *frequency = new QLabel(QStringLiteral("89.100000"), &window);
    frequency->setObjectName(QStringLiteral("frequency"));
    window.ensurePolished();
    frequency->ensurePolished();
    qInstallMessageHandler(previous);
    QVERIFY2(g_warnings.isEmpty(), qPrintable(g_warnings.join(QLatin1Char('\n'))));
    QCOMPARE(frequency->font().pixelSize(), 43);
    QCOMPARE(frequency->palette().color(QPalette::WindowText), QColor(QStringLiteral("#76e6d9")));
    QCOMPARE(app->palette().color(QPalette::Active, QPalette::Window),
             QColor(QStringLiteral("#121a23")));
    QCOMPARE(app->palette().color(QPalette::Disabled, QPalette::Text),
             QColor(QStringLiteral("#738697")));
    app->setStyleSheet(QString());
}

void TestStartup::integrity_data()
{
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<int>("outcome");
    const QByteArray content("program bytes");
    const QByteArray digest = QCryptographicHash::hash(content, QCryptographicHash::Sha256).toHex();
    QTest::newRow("matches") << digest + "  prog\n" << int(IntegrityCheck::Outcome::Matches);
    QTest::newRow("upper case") << digest.toUpper() << int(IntegrityCheck::Outcome::Matches);
    QByteArray other = digest;
    other[0] = other[0] == 'a' ? 'b' : 'a';
    QTest::newRow("differs") << other + "  prog\n" << int(IntegrityCheck::Outcome::Differs);
    QTest::newRow("garbage") << QByteArray("not a digest")
                             << int(IntegrityCheck::Outcome::RecordMissing);
    QTest::newRow("missing") << QByteArray() << int(IntegrityCheck::Outcome::RecordMissing);
}

void TestStartup::integrity()
{
    QFETCH(QByteArray, record);
    QFETCH(int, outcome);
    const QString program = m_dir.filePath(QStringLiteral("prog"));
    QFile file(program);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("program bytes");
    file.close();
    QFile::remove(IntegrityCheck::recordPath(program));
    if (!record.isEmpty()) {
        QFile recordFile(IntegrityCheck::recordPath(program));
        QVERIFY(recordFile.open(QIODevice::WriteOnly));
        recordFile.write(record);
    }
    const IntegrityCheck::Result result = IntegrityCheck::verify(program);
    QCOMPARE(int(result.outcome), outcome);
    const QString message = IntegrityCheck::message(result, program);
    QCOMPARE(message.startsWith(QStringLiteral("Warning:")),
             result.outcome != IntegrityCheck::Outcome::Matches);
    QCOMPARE(IntegrityCheck::verify(m_dir.filePath(QStringLiteral("absent"))).outcome,
             IntegrityCheck::Outcome::Unreadable);
}

// A built program keeps its record beside it; an installed one keeps nothing but itself in
// its "bin" folder, and finds the record below the library folder of the same prefix.
void TestStartup::recordPath_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("beside");
    QTest::newRow("build tree") << "/home/op/corvin/build/app/corvin"
                                << "/home/op/corvin/build/app/corvin.sha256";
    QTest::newRow("portable folder") << "/opt/corvin/corvin"
                                     << "/opt/corvin/corvin.sha256";
    QTest::newRow("system") << "/usr/bin/corvin" << QString();
    QTest::newRow("local") << "/usr/local/bin/corvin" << QString();
    QTest::newRow("user") << "/home/op/.local/bin/corvin" << QString();
}

void TestStartup::recordPath()
{
    QFETCH(QString, program);
    QFETCH(QString, beside);
    const QString record = IntegrityCheck::recordPath(program);
    if (!beside.isEmpty()) {
        QCOMPARE(record, beside);
        return;
    }
    const QString prefix = QFileInfo(program).dir().filePath(QStringLiteral(".."));
    QVERIFY2(record.startsWith(QDir::cleanPath(prefix) + QStringLiteral("/lib")),
             qPrintable(record));
    QVERIFY2(record.endsWith(QStringLiteral("/corvin/corvin.sha256")), qPrintable(record));
    QVERIFY(!record.contains(QStringLiteral("/bin/")));
}

void TestStartup::builtProgramHasItsRecord()
{
    const QString program = qEnvironmentVariable("CORVIN_EXECUTABLE");
    if (program.isEmpty())
        QSKIP("CORVIN_EXECUTABLE is not set");
    QCOMPARE(IntegrityCheck::verify(program).outcome, IntegrityCheck::Outcome::Matches);
}

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
