// The rigctld protocol: parsing, answers in every response mode, the mode table, the
// S-meter scale and the refusals, against a receiver made of fields; and the answers of the
// reference daemon recorded in data/rigctld-dummy.txt.
#include "fakerigbackend.h"
#include "righandler.h"
#include "riglinebuffer.h"
#include "rigmodes.h"

#include <QFile>
#include <QTest>

namespace {

QByteArray answer(FakeRigBackend &backend, const QByteArray &line, bool *quit = nullptr)
{
    RigHandler handler(backend);
    bool quitting = false;
    const QByteArray text = handler.execute(RigCommand::parse(line), &quitting);
    if (quit)
        *quit = quitting;
    return text;
}

// A Python bytes literal's body ('...' without the quotes) as bytes.
QByteArray unescape(const QByteArray &literal)
{
    QByteArray bytes;
    for (int i = 0; i < literal.size(); ++i) {
        const char c = literal[i];
        if (c != '\\' || i + 1 >= literal.size()) {
            bytes += c;
            continue;
        }
        const char next = literal[++i];
        if (next == 'n')
            bytes += '\n';
        else if (next == 'r')
            bytes += '\r';
        else if (next == 't')
            bytes += '\t';
        else if (next == 'x') {
            bytes += static_cast<char>(literal.mid(i + 1, 2).toInt(nullptr, 16));
            i += 2;
        } else
            bytes += next;
    }
    return bytes;
}

} // namespace

class RigProtocolTest : public QObject
{
    Q_OBJECT

private slots:
    void recordedAnswers_data();
    void recordedAnswers();
    void answers_data();
    void answers();
    void setRequests_data();
    void setRequests();
    void modeReports_data();
    void modeReports();
    void refusals_data();
    void refusals();
    void levelReadsOnlyWhenStale();
    void strengthScale_data();
    void strengthScale();
    void dumpStateDescribesTheReceiver();
    void lineBuffer_data();
    void lineBuffer();
};

// What the reference daemon answered, byte for byte, for a receiver in the same state
// (7 050 000 Hz, USB, 2400 Hz).
void RigProtocolTest::recordedAnswers_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QByteArray>("expected");
    QFile file(qEnvironmentVariable("CORVIN_SOURCE_DIR") +
               QStringLiteral("/tests/share/data/rigctld-dummy.txt"));
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
    int rows = 0;
    while (!file.atEnd()) {
        const QByteArray line = file.readLine().chopped(1);
        if (line.startsWith('#'))
            continue;
        const QList<QByteArray> fields = line.split('\t');
        QCOMPARE(fields.size(), 2);
        const QByteArray request = unescape(fields[0].mid(1).chopped(1));
        QTest::newRow(request.isEmpty() ? "(empty)" : request.constData())
            << request << unescape(fields[1].mid(1).chopped(1));
        ++rows;
    }
    QVERIFY(rows > 40);
}

void RigProtocolTest::recordedAnswers()
{
    QFETCH(QByteArray, request);
    QFETCH(QByteArray, expected);
    FakeRigBackend backend;
    backend.state.mode = backend.state.effectiveMode = 3; // USB
    QCOMPARE(answer(backend, request), expected);
}

void RigProtocolTest::answers_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("get vfo, pipe") << QByteArray("|v") << QByteArray("get_vfo:|VFO: VFOA|RPRT 0\n");
    QTest::newRow("other vfo") << QByteArray("V VFOB") << QByteArray("RPRT -11\n");
    QTest::newRow("vfo missing") << QByteArray("V") << QByteArray("RPRT -1\n");
    QTest::newRow("vfo list") << QByteArray("V ?") << QByteArray("VFOA \nRPRT 0\n");
    QTest::newRow("split on") << QByteArray("S 1 VFOB") << QByteArray("RPRT -11\n");
    QTest::newRow("split garbage")
        << QByteArray("+S x") << QByteArray("set_split_vfo: x\nRPRT -1\n");
    QTest::newRow("raw level") << QByteArray("l RAWSTR") << QByteArray("146\n");
    QTest::newRow("strength") << QByteArray("+l STRENGTH")
                              << QByteArray("get_level: STRENGTH\n0\nRPRT 0\n");
    QTest::newRow("strength semicolon")
        << QByteArray(";l STRENGTH") << QByteArray("get_level: STRENGTH;0;RPRT 0\n");
    QTest::newRow("level missing") << QByteArray("l") << QByteArray("RPRT -1\n");
    QTest::newRow("level list") << QByteArray("l ?") << QByteArray("RAWSTR STRENGTH \n");
    QTest::newRow("level list extended")
        << QByteArray("+l ?") << QByteArray("get_level: ?\nRAWSTR STRENGTH \nRPRT 0\n");
    QTest::newRow("mode list") << QByteArray("M ?")
                               << QByteArray("AM CW USB LSB FM WFM \nRPRT 0\n");
    QTest::newRow("unknown letter") << QByteArray("X") << QByteArray("RPRT -4\n");
    QTest::newRow("unknown long") << QByteArray("+\\foo bar") << QByteArray("RPRT -4\n");
    QTest::newRow("unsupported set level") << QByteArray("L AF 0.5") << QByteArray("RPRT -4\n");
    QTest::newRow("level name with nul")
        << QByteArray("l RAWSTR\0x", 10) << QByteArray("RPRT -1\n");
    QTest::newRow("long name with nul")
        << QByteArray("\\get_freq\0x", 11) << QByteArray("RPRT -4\n");
    QTest::newRow("blanks") << QByteArray(" \t ") << QByteArray();
    QTest::newRow("prefix alone") << QByteArray("+") << QByteArray("RPRT -4\n");
    QTest::newRow("prefix then blank")
        << QByteArray("+ f") << QByteArray("get_freq:\nFrequency: 7050000\nRPRT 0\n");
    QTest::newRow("below range") << QByteArray("F 99999") << QByteArray("RPRT -1\n");
    QTest::newRow("above range") << QByteArray("F 3000000001") << QByteArray("RPRT -1\n");
    QTest::newRow("not a number") << QByteArray("F nan") << QByteArray("RPRT -1\n");
    QTest::newRow("infinite") << QByteArray("F inf") << QByteArray("RPRT -1\n");
    QTest::newRow("frequency missing") << QByteArray("F") << QByteArray("RPRT -1\n");
    QTest::newRow("unknown mode") << QByteArray("+M FOO 0")
                                  << QByteArray("set_mode: FOO 0\nRPRT -1\n");
    QTest::newRow("mode missing") << QByteArray("M") << QByteArray("RPRT -1\n");
    QTest::newRow("huge passband") << QByteArray("M AM 1e300") << QByteArray("RPRT 0\n");
}

void RigProtocolTest::answers()
{
    QFETCH(QByteArray, request);
    QFETCH(QByteArray, expected);
    FakeRigBackend backend;
    QCOMPARE(answer(backend, request), expected);
}

void RigProtocolTest::setRequests_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QVector<qint64>>("tunes");
    QTest::addColumn<QVector<int>>("modes");
    using T = QVector<qint64>;
    using M = QVector<int>;
    QTest::newRow("client form") << QByteArray("F 145500000.000000") << T{145500000} << M{};
    QTest::newRow("rounded") << QByteArray("F 7050000.6") << T{7050001} << M{};
    QTest::newRow("exponent") << QByteArray("\\set_freq 1e5") << T{100000} << M{};
    QTest::newRow("top") << QByteArray("F 3000000000") << T{3000000000LL} << M{};
    QTest::newRow("NFM") << QByteArray("M FM 0") << T{} << M{1};
    QTest::newRow("NFM by passband") << QByteArray("M FM 12000") << T{} << M{1};
    QTest::newRow("SFM") << QByteArray("M FM 6000") << T{} << M{6};
    QTest::newRow("SFM nearer") << QByteArray("M FM 9000") << T{} << M{6};
    QTest::newRow("FMN") << QByteArray("M FMN 0") << T{} << M{6};
    QTest::newRow("AM") << QByteArray("M AM 0") << T{} << M{2};
    QTest::newRow("NAM") << QByteArray("M AM 3000") << T{} << M{8};
    QTest::newRow("AMN") << QByteArray("M AMN 0") << T{} << M{8};
    QTest::newRow("WAM") << QByteArray("M AM 15000") << T{} << M{7};
    QTest::newRow("WFM") << QByteArray("M WFM 0") << T{} << M{0};
    QTest::newRow("LSB") << QByteArray("M LSB 2400") << T{} << M{4};
    QTest::newRow("CW") << QByteArray("M CW 500") << T{} << M{5};
    QTest::newRow("CWR to CW") << QByteArray("M CWR 0") << T{} << M{5};
    QTest::newRow("PKTLSB to LSB") << QByteArray("M PKTLSB -1") << T{} << M{4};
    QTest::newRow("SAM to AM") << QByteArray("M SAM 0") << T{} << M{2};
    QTest::newRow("PKTUSB is USB already") << QByteArray("M PKTUSB 0") << T{} << M{};
    QTest::newRow("same mode") << QByteArray("M USB 2400") << T{} << M{};
}

void RigProtocolTest::setRequests()
{
    QFETCH(QByteArray, request);
    QFETCH(QVector<qint64>, tunes);
    QFETCH(QVector<int>, modes);
    FakeRigBackend backend;
    QCOMPARE(answer(backend, request), QByteArray("RPRT 0\n"));
    QCOMPARE(backend.tunes, tunes);
    QCOMPARE(backend.modes, modes);
}

// Every receiver mode reads back as a protocol mode that maps back to it; AUTO reads as the
// mode the receiver chose and is kept when that mode is set again.
void RigProtocolTest::modeReports_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("effective");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("WFM") << 0 << 0 << QByteArray("WFM\n230000\n");
    QTest::newRow("NFM") << 1 << 1 << QByteArray("FM\n15000\n");
    QTest::newRow("AM") << 2 << 2 << QByteArray("AM\n6000\n");
    QTest::newRow("USB") << 3 << 3 << QByteArray("USB\n2400\n");
    QTest::newRow("LSB") << 4 << 4 << QByteArray("LSB\n2400\n");
    QTest::newRow("CW") << 5 << 5 << QByteArray("CW\n500\n");
    QTest::newRow("SFM") << 6 << 6 << QByteArray("FM\n6000\n");
    QTest::newRow("WAM") << 7 << 7 << QByteArray("AM\n15000\n");
    QTest::newRow("NAM") << 8 << 8 << QByteArray("AM\n3000\n");
    QTest::newRow("AUTO on NFM") << 9 << 1 << QByteArray("FM\n15000\n");
    QTest::newRow("AUTO unknown") << 9 << 9 << QByteArray("RPRT -11\n");
}

void RigProtocolTest::modeReports()
{
    QFETCH(int, mode);
    QFETCH(int, effective);
    QFETCH(QByteArray, expected);
    FakeRigBackend backend;
    backend.state.mode = mode;
    backend.state.effectiveMode = effective;
    QCOMPARE(answer(backend, "m"), expected);
    RigModes::ProtocolMode reported;
    if (!RigModes::toProtocol(effective, &reported))
        return;
    // Set back, from another mode, it is the same receiver mode; set as it is, nothing moves.
    QCOMPARE(RigModes::fromProtocol(reported.name, reported.passband, effective == 4 ? 3 : 4),
             effective);
    QCOMPARE(answer(backend, "M " + reported.name + ' ' + QByteArray::number(reported.passband)),
             QByteArray("RPRT 0\n"));
    QVERIFY(backend.modes.isEmpty());
    QCOMPARE(backend.state.mode, mode);
}

void RigProtocolTest::refusals_data()
{
    QTest::addColumn<bool>("online");
    QTest::addColumn<bool>("busy");
    QTest::addColumn<int>("result");
    QTest::addColumn<QByteArray>("setAnswer");
    QTest::addColumn<QByteArray>("powerAnswer");
    QTest::newRow("busy") << true << true << 0 << QByteArray("RPRT -9\n") << QByteArray("1\n");
    QTest::newRow("offline") << false << false << 0 << QByteArray("RPRT -20\n")
                             << QByteArray("0\n");
    QTest::newRow("no reply") << true << false << int(RigBackend::Result::Failed)
                              << QByteArray("RPRT -5\n") << QByteArray("1\n");
}

// Sets are refused or fail with the protocol's codes; reads still answer from the state.
void RigProtocolTest::refusals()
{
    QFETCH(bool, online);
    QFETCH(bool, busy);
    QFETCH(int, result);
    QFETCH(QByteArray, setAnswer);
    QFETCH(QByteArray, powerAnswer);
    FakeRigBackend backend;
    backend.state.online = online;
    backend.state.busy = busy;
    backend.result = RigBackend::Result(result);
    QCOMPARE(answer(backend, "F 7000000"), setAnswer);
    QCOMPARE(answer(backend, "+M AM 0"), "set_mode: AM 0\n" + setAnswer);
    QCOMPARE(answer(backend, "\\get_powerstat"), powerAnswer);
    QCOMPARE(answer(backend, "f"), QByteArray("7050000\n"));
    QCOMPARE(backend.tunes.size() + backend.modes.size(), online && !busy ? 2 : 0);
    // The S-meter: a failed read is reported; busy or offline, the last reading answers.
    QCOMPARE(answer(backend, "l RAWSTR"), online && !busy ? setAnswer : QByteArray("146\n"));
}

void RigProtocolTest::levelReadsOnlyWhenStale()
{
    FakeRigBackend backend;
    RigHandler handler(backend);
    bool quit = false;
    backend.freshLevel = 200;
    QCOMPARE(handler.execute(RigCommand::parse("l RAWSTR"), &quit), QByteArray("200\n"));
    backend.freshLevel = 10;
    QCOMPARE(handler.execute(RigCommand::parse("l STRENGTH"), &quit), QByteArray("30\n"));
    QCOMPARE(backend.levelReads, 1);
    // Another frequency: the reading belongs to the old one.
    QCOMPARE(handler.execute(RigCommand::parse("F 7100000"), &quit), QByteArray("RPRT 0\n"));
    QCOMPARE(handler.execute(RigCommand::parse("l RAWSTR"), &quit), QByteArray("10\n"));
    QCOMPARE(backend.levelReads, 2);
    QTest::qWait(RigHandler::levelFreshMs + 50);
    handler.execute(RigCommand::parse("l RAWSTR"), &quit);
    QCOMPARE(backend.levelReads, 3);
    QVERIFY(!quit);
    QCOMPARE(handler.execute(RigCommand::parse("Q"), &quit), QByteArray("RPRT 0\n"));
    QVERIFY(quit);
}

// dB relative to S9 on the receiver panel's meter: S1 at level 0, S9 near 146, +60 at 255.
void RigProtocolTest::strengthScale_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<int>("db");
    QTest::newRow("S1") << 0 << -48;
    QTest::newRow("S5") << 73 << -24;
    QTest::newRow("S9") << 146 << 0;
    QTest::newRow("S9+30") << 200 << 30;
    QTest::newRow("S9+60") << 255 << 60;
    QTest::newRow("below") << -5 << -48;
    QTest::newRow("above") << 999 << 60;
}

void RigProtocolTest::strengthScale()
{
    QFETCH(int, level);
    QFETCH(int, db);
    QCOMPARE(RigHandler::strengthDb(level), db);
}

void RigProtocolTest::dumpStateDescribesTheReceiver()
{
    FakeRigBackend backend;
    const QByteArray plain = answer(backend, "\\dump_state");
    const QList<QByteArray> lines = plain.split('\n');
    QCOMPARE(lines.value(0), QByteArray("1"));
    QCOMPARE(lines.value(3), QByteArray("100000.000000 3000000000.000000 0x6f -1 -1 0x1 0x1"));
    // No transmitter: the transmit range list is empty.
    QCOMPARE(lines.value(5), QByteArray("0 0 0 0 0 0 0"));
    QVERIFY(plain.contains("\n0x44000000\n"));
    QVERIFY(plain.contains("\nptt_type=0x0\n"));
    QVERIFY(plain.endsWith("\ndone\n"));
    QCOMPARE(answer(backend, "+\\dump_state"), "dump_state:\n" + plain + "RPRT 0\n");
}

void RigProtocolTest::lineBuffer_data()
{
    QTest::addColumn<QList<QByteArray>>("chunks");
    QTest::addColumn<QList<QByteArray>>("lines"); // "<too long>" for a dropped line
    using L = QList<QByteArray>;
    const QByteArray longLine(RigLineBuffer::maxLineBytes + 1, 'x');
    const QByteArray limitLine(RigLineBuffer::maxLineBytes, 'y');
    QTest::newRow("split") << L{"f\nF 7", "000000\r\n"} << L{"f", "F 7000000", ""};
    QTest::newRow("unfinished") << L{"f\nm"} << L{"f"};
    QTest::newRow("at the limit") << L{limitLine + "\nf\n"} << L{limitLine, "f"};
    QTest::newRow("over the limit, ended") << L{longLine + "\nf\n"} << L{"<too long>", "f"};
    QTest::newRow("over the limit, endless")
        << L{longLine, longLine, "tail\nv\n"} << L{"<too long>", "v"};
}

void RigProtocolTest::lineBuffer()
{
    QFETCH(QList<QByteArray>, chunks);
    QFETCH(QList<QByteArray>, lines);
    RigLineBuffer buffer;
    QList<QByteArray> taken;
    for (const QByteArray &chunk : chunks) {
        buffer.append(chunk);
        for (;;) {
            QByteArray line;
            const RigLineBuffer::Take result = buffer.take(&line);
            if (result == RigLineBuffer::Take::None)
                break;
            taken << (result == RigLineBuffer::Take::TooLong ? QByteArray("<too long>") : line);
        }
    }
    QCOMPARE(taken, lines);
}

QTEST_GUILESS_MAIN(RigProtocolTest)
#include "tst_rigprotocol.moc"
