#include "jsontext.h"

#include <QJsonParseError>
#include <QtTest>

// Reading JSON text: what Qt's parser reads stays as it reads it, and an object that repeats a
// name is refused however the name is spelt. Under the sanitizer build the repeated array
// below would show Qt's leak if it ever reached the parser.
class TestJsonText : public QObject
{
    Q_OBJECT

private slots:
    void parse_data();
    void parse();
};

void TestJsonText::parse_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("repeatsAName");

    QTest::newRow("plain repeat") << QByteArray(R"({"a":1,"a":2})") << true;
    QTest::newRow("repeat replacing an array") << QByteArray(R"({"":[[]],"":""})") << true;
    QTest::newRow("repeat deep inside") << QByteArray(R"([1,{"x":[{"k":{},"k":null}]}])") << true;
    QTest::newRow("escaped spelling") << QByteArray(R"({"a":1,"\u0061":2})") << true;
    QTest::newRow("UTF-8 against escape") << QByteArray("{\"\xc3\xa9\":1,\"\\u00E9\":2}") << true;
    QTest::newRow("emoji against surrogate escapes")
        << QByteArray("{\"\xf0\x9f\x98\x80\":1,\"\\ud83d\\ude00\":2}") << true;
    QTest::newRow("lenient escape") << QByteArray(R"({"\q":1,"q":2})") << true;
    QTest::newRow("control escapes")
        << QByteArray(R"({"\b\f\n\r\t\/":1,"\u0008\u000c\u000a\u000d\u0009/":2})") << true;

    QTest::newRow("same name on other levels")
        << QByteArray(R"({"a":{"a":1},"b":[{"a":1},{"a":2}],"c":{"a":{"a":3}}})") << false;
    QTest::newRow("values equal to names") << QByteArray(R"({"a":"a","b":"a","c":["b"]})") << false;
    QTest::newRow("quotes and brackets inside strings")
        << QByteArray(R"({"x":"}{\",\"x\":","y\\":"[","x\"":1,"y":{"\\":"]"}})") << false;
    QTest::newRow("names differing in case and escapes")
        << QByteArray(R"({"a":1,"A":2,"\u0062":3,"\\u0061":4})") << false;
    QTest::newRow("strings in arrays") << QByteArray(R"(["a","a",["a","a"]])") << false;
    QTest::newRow("unterminated object") << QByteArray(R"({"a":1,)") << false;
    QTest::newRow("broken escape before a repeat")
        << QByteArray(R"({"\u00zz":1,"a":2,"a":3})") << false;
    QTest::newRow("unbalanced brackets") << QByteArray(R"([{"a":1]}, {"a":1,"a":2})") << false;
    QTest::newRow("very deep nesting") << QByteArray(4000, '[') + QByteArray(4000, ']') << false;
    QTest::newRow("empty") << QByteArray() << false;
}

void TestJsonText::parse()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, repeatsAName);

    QString error = QStringLiteral("stale");
    const QJsonDocument document = JsonText::parse(text, &error);
    if (repeatsAName) {
        QVERIFY(document.isNull());
        QCOMPARE(error, QStringLiteral("duplicate name"));
        return;
    }
    QJsonParseError qtError{};
    const QJsonDocument qtDocument = QJsonDocument::fromJson(text, &qtError);
    QCOMPARE(document, qtDocument);
    QCOMPARE(error, qtError.error == QJsonParseError::NoError ? QString() : qtError.errorString());
    QCOMPARE(JsonText::parse(text), qtDocument);
}

QTEST_GUILESS_MAIN(TestJsonText)
#include "tst_jsontext.moc"
