#include "languageselector.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

const QString restartNotice = QStringLiteral("Restart Corvin to apply the selected language.");

} // namespace

class TestLanguageSelector : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void initialSelection_data();
    void initialSelection();
    void changesAreStoredAtOnce();
    void items();

private:
    // The settings file as it is on disk, not as the store caches it.
    QByteArray fileOnDisk() const;

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<QSettings> m_settings;
};

void TestLanguageSelector::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
}

void TestLanguageSelector::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_settings = std::make_unique<QSettings>(m_dir->filePath(QStringLiteral("Corvin.conf")),
                                             QSettings::IniFormat);
}

void TestLanguageSelector::cleanup()
{
    m_settings.reset();
    m_dir.reset();
    qApp->setProperty("language", QVariant());
}

QByteArray TestLanguageSelector::fileOnDisk() const
{
    QFile file(m_settings->fileName());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void TestLanguageSelector::initialSelection_data()
{
    QTest::addColumn<QString>("running");
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<QString>("selected");
    QTest::addColumn<bool>("notice");
    QTest::newRow("nothing stored, English") << "en" << QVariant() << "en" << false;
    QTest::newRow("nothing stored, Italian") << "it" << QVariant() << "it" << false;
    QTest::newRow("Italian chosen, not yet applied") << "en" << QVariant("it") << "it" << true;
    QTest::newRow("English chosen, not yet applied") << "it" << QVariant("en") << "en" << true;
    QTest::newRow("upper-case IT selects English") << "en" << QVariant("IT") << "en" << false;
    QTest::newRow("unknown value selects English") << "it" << QVariant("fr") << "en" << true;
    QTest::newRow("empty value selects English") << "en" << QVariant("") << "en" << false;
}

void TestLanguageSelector::initialSelection()
{
    QFETCH(QString, running);
    QFETCH(QVariant, stored);
    QFETCH(QString, selected);
    QFETCH(bool, notice);
    qApp->setProperty("language", running);
    if (stored.isValid()) {
        m_settings->setValue(QStringLiteral("Language"), stored);
        m_settings->sync();
    }
    const QByteArray before = fileOnDisk();

    LanguageSelector selector(*m_settings);
    QCOMPARE(selector.languageList()->currentData().toString(), selected);
    QCOMPARE(selector.notice()->text(), notice ? restartNotice : QString());
    // Showing the choice stores nothing.
    m_settings->sync();
    QCOMPARE(fileOnDisk(), before);
    QCOMPARE(m_settings->value(QStringLiteral("Language")), stored);
}

void TestLanguageSelector::changesAreStoredAtOnce()
{
    qApp->setProperty("language", QStringLiteral("en"));
    LanguageSelector selector(*m_settings);
    QComboBox *list = selector.languageList();
    QCOMPARE(list->currentIndex(), 0);

    list->setCurrentIndex(1);
    QCOMPARE(selector.notice()->text(), restartNotice);
    QVERIFY(fileOnDisk().contains("Language=it"));

    list->setCurrentIndex(0);
    QCOMPARE(selector.notice()->text(), QString());
    QVERIFY(fileOnDisk().contains("Language=en"));
    QVERIFY(!fileOnDisk().contains("Language=it"));

    // The running language itself changes only at the next start.
    list->setCurrentIndex(1);
    QCOMPARE(qApp->property("language").toString(), QStringLiteral("en"));
    QCOMPARE(m_settings->value(QStringLiteral("Language")).toString(), QStringLiteral("it"));
}

void TestLanguageSelector::items()
{
    LanguageSelector selector(*m_settings);
    QComboBox *list = selector.findChild<QComboBox *>(QStringLiteral("languageCB"));
    QCOMPARE(list, selector.languageList());
    QCOMPARE(selector.findChild<QLabel *>(QStringLiteral("languageNotice")), selector.notice());
    QCOMPARE(list->count(), 2);
    QCOMPARE(list->itemText(0), QStringLiteral("English (EN)"));
    QCOMPARE(list->itemData(0).toString(), QStringLiteral("en"));
    QCOMPARE(list->itemText(1), QStringLiteral("Italiano (IT)"));
    QCOMPARE(list->itemData(1).toString(), QStringLiteral("it"));
    auto *caption = selector.findChild<QLabel *>(QStringLiteral("languageLB"));
    QVERIFY(caption);
    QCOMPARE(caption->text(), QStringLiteral("Language"));
}

QTEST_MAIN(TestLanguageSelector)
#include "tst_languageselector.moc"
