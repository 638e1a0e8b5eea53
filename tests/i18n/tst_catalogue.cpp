#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTranslator>
#include <QXmlStreamReader>
#include <QtTest>

// The Italian catalogue: every text the program marks for translation has a finished Italian
// translation that keeps the text's place markers, and the compiled catalogue embedded in the
// program answers with it.
class TestCatalogue : public QObject
{
    Q_OBJECT

private slots:
    void everyMarkedTextIsTranslated();
    void translationsAreCompleteAndKeepMarkers();
    void forwardedTextsAreVisibleToLupdate();
    void embeddedCatalogueTranslates_data();
    void embeddedCatalogueTranslates();
};

namespace {

struct Message
{
    QString context;
    QString source;
    QStringList translations; // one per numerus form, or one
    QString type;             // "", "unfinished", "vanished" or "obsolete"

    QString name() const { return context + QStringLiteral(" / \"") + source + QLatin1Char('"'); }
};

QVector<Message> readCatalogue(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return {};
    }
    QVector<Message> messages;
    QXmlStreamReader xml(&file);
    QString context;
    Message current;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        const QStringRef name = xml.name();
        if (name == QLatin1String("name")) {
            context = xml.readElementText();
        } else if (name == QLatin1String("message")) {
            current = Message{context, {}, {}, {}};
        } else if (name == QLatin1String("source")) {
            current.source = xml.readElementText();
        } else if (name == QLatin1String("translation")) {
            current.type = xml.attributes().value(QLatin1String("type")).toString();
            // A numerus translation holds one <numerusform> per plural form.
            QString text;
            while (xml.readNext() != QXmlStreamReader::EndElement ||
                   xml.name() != QLatin1String("translation")) {
                if (xml.isCharacters())
                    text += xml.text();
                else if (xml.isStartElement() && xml.name() == QLatin1String("numerusform"))
                    current.translations << xml.readElementText();
            }
            if (current.translations.isEmpty())
                current.translations << text;
            messages << current;
        }
    }
    if (xml.hasError())
        *error = xml.errorString();
    return messages;
}

QStringList placeMarkers(const QString &text)
{
    QStringList markers;
    QRegularExpressionMatchIterator it =
        QRegularExpression(QStringLiteral("%(L?\\d+|n)")).globalMatch(text);
    while (it.hasNext())
        markers << it.next().captured(0);
    markers.sort();
    markers.removeDuplicates();
    return markers;
}

QString cataloguePath()
{
    return qEnvironmentVariable("CORVIN_SOURCE_DIR") +
           QStringLiteral("/resources/i18n/corvin_it.ts");
}

} // namespace

void TestCatalogue::everyMarkedTextIsTranslated()
{
    // lupdate merges the program's current texts into a copy of the catalogue: a text that
    // is new or changed comes out unfinished.
    const QString lupdate = qEnvironmentVariable("CORVIN_LUPDATE");
    QVERIFY2(QFile::exists(lupdate), "lupdate not found");
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString copy = dir.filePath(QStringLiteral("corvin_it.ts"));
    QVERIFY(QFile::copy(cataloguePath(), copy));
    QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner);

    QStringList arguments =
        qEnvironmentVariable("CORVIN_LUPDATE_OPTIONS").split(QLatin1Char(' '), Qt::SkipEmptyParts);
    const QStringList paths =
        qEnvironmentVariable("CORVIN_TRANSLATED_PATHS").split(QLatin1Char(':'), Qt::SkipEmptyParts);
    QVERIFY(!paths.isEmpty());
    arguments << paths << QStringLiteral("-ts") << copy;
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(lupdate, arguments);
    QVERIFY(process.waitForFinished(240000));
    QCOMPARE(process.exitCode(), 0);

    QString error;
    const QVector<Message> messages = readCatalogue(copy, &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QStringList missing;
    for (const Message &message : messages) {
        const bool vanished =
            message.type == QLatin1String("vanished") || message.type == QLatin1String("obsolete");
        if (!vanished && message.type == QLatin1String("unfinished"))
            missing << message.name();
    }
    QVERIFY2(missing.isEmpty(),
             qPrintable(QStringLiteral("%1 texts without Italian translation (update the "
                                       "catalogue with the corvin_lupdate target):\n")
                            .arg(missing.size()) +
                        missing.join(QLatin1Char('\n'))));
    QVERIFY(messages.size() > 0);
}

void TestCatalogue::translationsAreCompleteAndKeepMarkers()
{
    QString error;
    const QVector<Message> messages = readCatalogue(cataloguePath(), &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QVERIFY(!messages.isEmpty());
    QStringList faults;
    const QRegularExpression mnemonic(QStringLiteral("&[^&\\s]"));
    for (const Message &message : messages) {
        if (!message.type.isEmpty()) {
            faults << message.type + QStringLiteral(": ") + message.name();
            continue;
        }
        for (const QString &translation : message.translations) {
            if (translation.trimmed().isEmpty())
                faults << QStringLiteral("empty: ") + message.name();
            else if (placeMarkers(translation) != placeMarkers(message.source))
                faults << QStringLiteral("place markers differ: ") + message.name();
            else if (message.source.contains(mnemonic) != translation.contains(mnemonic))
                faults << QStringLiteral("shortcut marker differs: ") + message.name();
        }
    }
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
}

void TestCatalogue::forwardedTextsAreVisibleToLupdate()
{
    // A helper such as text(const char *source) { return translate("Ctx", source); } translates
    // at run time, but lupdate only collects the literals its callers wrap in
    // QT_TRANSLATE_NOOP. A bare literal passed to such a helper never reaches the catalogue.
    const QRegularExpression helper(
        QStringLiteral("(\\w+)\\s*\\(\\s*const\\s+char\\s*\\*\\s*(\\w+)\\s*\\)\\s*\\{[^{}]*"
                       "(?:translate\\s*\\(\\s*\"[^\"]*\"\\s*,|\\btr\\s*\\()\\s*\\2\\s*[,)]"));
    QStringList faults;
    int helpers = 0;
    const QStringList paths =
        qEnvironmentVariable("CORVIN_TRANSLATED_PATHS").split(QLatin1Char(':'), Qt::SkipEmptyParts);
    QVERIFY(!paths.isEmpty());
    for (const QString &path : paths) {
        QDirIterator files(path, {QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files,
                           QDirIterator::Subdirectories);
        while (files.hasNext()) {
            QFile file(files.next());
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QString code = QString::fromUtf8(file.readAll());
            QRegularExpressionMatchIterator found = helper.globalMatch(code);
            while (found.hasNext()) {
                const QString name = found.next().captured(1);
                ++helpers;
                const QRegularExpression bareCall(
                    QStringLiteral("\\b%1\\s*\\(\\s*(\"[^\"]*\")").arg(name));
                QRegularExpressionMatchIterator calls = bareCall.globalMatch(code);
                while (calls.hasNext()) {
                    const QRegularExpressionMatch call = calls.next();
                    const int line = code.left(call.capturedStart()).count(QLatin1Char('\n')) + 1;
                    faults << QStringLiteral("%1:%2: %3")
                                  .arg(file.fileName())
                                  .arg(line)
                                  .arg(call.captured(1));
                }
            }
        }
    }
    QVERIFY2(faults.isEmpty(),
             qPrintable(QStringLiteral("texts translated at run time but invisible to lupdate "
                                       "(wrap them in QT_TRANSLATE_NOOP):\n") +
                        faults.join(QLatin1Char('\n'))));
    qInfo("%d translating helpers checked", helpers);
}

void TestCatalogue::embeddedCatalogueTranslates_data()
{
    QTest::addColumn<QString>("context");
    QTest::addColumn<QString>("english");
    QTest::addColumn<QString>("italian");
    QTest::newRow("standby countdown") << "ScanStandby"
                                       << "Radio and PC standby in %1 s."
                                       << "Radio e PC in standby tra %1 s.";
    QTest::newRow("sleep refused")
        << "ScanStandby"
        << "Windows could not enter sleep (error %1). The results are saved."
        << "Impossibile sospendere Windows (errore %1). I risultati sono salvati.";
}

void TestCatalogue::embeddedCatalogueTranslates()
{
    QFETCH(QString, context);
    QFETCH(QString, english);
    QFETCH(QString, italian);
    QTranslator translator;
    QVERIFY(translator.load(QStringLiteral(":/Corvin/i18n/corvin_it.qm")));
    QVERIFY(!translator.isEmpty());
    QCOMPARE(translator.translate(qPrintable(context), qPrintable(english)), italian);
}

QTEST_GUILESS_MAIN(TestCatalogue)
#include "tst_catalogue.moc"
