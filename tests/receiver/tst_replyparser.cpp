// The receiver's status-reply patterns and which lines answer a prefixed command.
#include "replyparser.h"

#include <QTest>

class ReplyParserTest : public QObject
{
    Q_OBJECT

private slots:
    void prefixedReply_data();
    void prefixedReply();
    void tunedFrequency_data();
    void tunedFrequency();
    void autoStatus_data();
    void autoStatus();
    void level_data();
    void level();
};

// Longer than the prefix and in its letter case; "VR" needs four characters, and only the
// level reply may come in lower case.
void ReplyParserTest::prefixedReply_data()
{
    QTest::addColumn<QByteArray>("prefix");
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("VR identification") << QByteArray("VR") << QByteArray("VR RXSIM 1.0") << true;
    QTest::newRow("VR of four characters") << QByteArray("VR") << QByteArray("VR10") << true;
    QTest::newRow("VR of three characters") << QByteArray("VR") << QByteArray("VR1") << false;
    QTest::newRow("VR alone") << QByteArray("VR") << QByteArray("VR") << false;
    QTest::newRow("VR in lower case") << QByteArray("VR") << QByteArray("vr rxsim 1.0") << false;
    QTest::newRow("VR in mixed case") << QByteArray("VR") << QByteArray("Vr RXSIM") << false;
    QTest::newRow("LM hexadecimal") << QByteArray("LM") << QByteArray("LM7F") << true;
    QTest::newRow("LM of three characters") << QByteArray("LM") << QByteArray("LM7") << true;
    QTest::newRow("LM in lower case") << QByteArray("LM") << QByteArray("lm 127") << true;
    QTest::newRow("LM in mixed case") << QByteArray("LM") << QByteArray("Lm 127") << true;
    QTest::newRow("LM alone") << QByteArray("LM") << QByteArray("LM") << false;
    QTest::newRow("lm alone") << QByteArray("LM") << QByteArray("lm") << false;
    QTest::newRow("AU status") << QByteArray("AU") << QByteArray("AU1 MD3") << true;
    QTest::newRow("AU in lower case") << QByteArray("AU") << QByteArray("au1 md3") << false;
    QTest::newRow("AU alone") << QByteArray("AU") << QByteArray("AU") << false;
    QTest::newRow("another command's reply") << QByteArray("AU") << QByteArray("LM7F") << false;
    QTest::newRow("prefix later in the line")
        << QByteArray("VR") << QByteArray("X VR 1.0") << false;
}

void ReplyParserTest::prefixedReply()
{
    QFETCH(QByteArray, prefix);
    QFETCH(QByteArray, line);
    QFETCH(bool, accepted);
    QCOMPARE(ReplyParser::isPrefixedReply(prefix, line), accepted);
}

void ReplyParserTest::tunedFrequency_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("digits"); // empty: no match
    QTest::newRow("plain") << "RX RF0089100000 ST000000"
                           << "0089100000";
    QTest::newRow("more tokens") << "RX RF0007050000 ST123456 MD3"
                                 << "0007050000";
    QTest::newRow("at line start") << "RF3000000000 ST000001"
                                   << "3000000000";
    QTest::newRow("tab separated") << "RX\tRF0000100000\tST000000"
                                   << "0000100000";
    QTest::newRow("no ST token") << "RX RF0089100000"
                                 << "";
    QTest::newRow("ST too short") << "RX RF0089100000 ST00000"
                                  << "";
    QTest::newRow("ST too long") << "RX RF0089100000 ST0000000"
                                 << "";
    QTest::newRow("nine digits") << "RX RF089100000 ST000000"
                                 << "";
    QTest::newRow("eleven digits") << "RX RF00891000000 ST000000"
                                   << "";
    QTest::newRow("glued to a word") << "XRF0089100000 ST000000"
                                     << "";
    QTest::newRow("lower case") << "rx rf0089100000 st000000"
                                << "";
}

void ReplyParserTest::tunedFrequency()
{
    QFETCH(QString, line);
    QFETCH(QString, digits);
    QString captured;
    QCOMPARE(ReplyParser::parseTunedFrequency(line, &captured), !digits.isEmpty());
    QCOMPARE(captured, digits);
}

void ReplyParserTest::autoStatus_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<bool>("autoOn");
    QTest::addColumn<int>("mode");
    QTest::newRow("AU1 MD3") << "AU1 MD3" << true << true << 3;
    QTest::newRow("AU0 MD0") << "AU0 MD0" << true << false << 0;
    QTest::newRow("no blanks") << "AU1MD8" << true << true << 8;
    QTest::newRow("blanks everywhere") << "AU 1 MD 5" << true << true << 5;
    QTest::newRow("mode 9") << "AU1 MD9" << false << false << -1;
    QTest::newRow("flag 2") << "AU2 MD3" << false << false << -1;
    QTest::newRow("missing mode") << "AU1 MD" << false << false << -1;
    QTest::newRow("trailing text") << "AU1 MD3 X" << false << false << -1;
    QTest::newRow("lower case") << "au1 md3" << false << false << -1;
}

void ReplyParserTest::autoStatus()
{
    QFETCH(QString, line);
    QFETCH(bool, valid);
    QFETCH(bool, autoOn);
    QFETCH(int, mode);
    bool on = false;
    int code = -1;
    QCOMPARE(ReplyParser::parseAutoStatus(line, &on, &code), valid);
    QCOMPARE(on, autoOn);
    QCOMPARE(code, mode);
}

void ReplyParserTest::level_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("value"); // -1: no match
    QTest::newRow("LM7F") << "LM7F" << 127;
    QTest::newRow("LM7F%") << "LM7F%" << 127;
    QTest::newRow("lm 127") << "lm 127" << 127;
    QTest::newRow("LM%7F") << "LM%7F" << 127;
    QTest::newRow("LM 7f") << "LM 7f" << 127;
    QTest::newRow("LM%127") << "LM%127" << 127;
    QTest::newRow("LM 12 is hexadecimal") << "LM 12" << 18;
    QTest::newRow("LMFF") << "LMFF" << 255;
    QTest::newRow("LM00") << "LM00" << 0;
    QTest::newRow("LM 300 parses, out of range") << "LM 300" << 300;
    QTest::newRow("bare LM") << "LM" << -1;
    QTest::newRow("one digit") << "LM7" << -1;
    QTest::newRow("three hex digits") << "LM7FF" << -1;
    QTest::newRow("not hex") << "LMZZ" << -1;
    QTest::newRow("percent after decimal") << "LM 127%" << -1;
    QTest::newRow("two blanks") << "LM  7F" << -1;
}

void ReplyParserTest::level()
{
    QFETCH(QString, line);
    QFETCH(int, value);
    int parsed = -1;
    QCOMPARE(ReplyParser::parseLevel(line, &parsed), value >= 0);
    QCOMPARE(parsed, value);
}

QTEST_GUILESS_MAIN(ReplyParserTest)
#include "tst_replyparser.moc"
