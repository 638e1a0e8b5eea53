#include "receivermodel.h"

#include <QRegularExpression>

#include <algorithm>

namespace {

SimReply line(const QByteArray &text)
{
    return SimReply{text + '\r', 0, false};
}

bool isDigits(const QByteArray &text, int count)
{
    return text.size() == count &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace

ReceiverModel::ReceiverModel(BandPlan plan)
    : m_plan(std::move(plan))
    , m_random(4242u)
{}

bool ReceiverModel::levelFormatFromName(const QString &name, LevelFormat *format)
{
    static const QVector<QPair<QString, LevelFormat>> names = {
        {QStringLiteral("hex"), LevelFormat::Hex},
        {QStringLiteral("hex-percent"), LevelFormat::HexPercent},
        {QStringLiteral("space-decimal"), LevelFormat::SpaceDecimal},
        {QStringLiteral("percent-hex"), LevelFormat::PercentHex},
        {QStringLiteral("space-hex"), LevelFormat::SpaceHex},
        {QStringLiteral("lower-decimal"), LevelFormat::LowerDecimal},
    };
    for (const auto &entry : names) {
        if (entry.first == name) {
            *format = entry.second;
            return true;
        }
    }
    return false;
}

int ReceiverModel::measureLevel()
{
    const int jitter = std::uniform_int_distribution<int>(-m_levelJitter, m_levelJitter)(m_random);
    return std::clamp(m_plan.levelAt(m_frequency) + jitter, 0, 255);
}

QByteArray ReceiverModel::levelReply(int level, bool malformed)
{
    if (malformed) {
        static const char *const forms[] = {"LM 300", "LMZZ", "LM"};
        return QByteArray(forms[m_malformedLevels++ % 3]);
    }
    switch (m_levelFormat) {
    case LevelFormat::Hex:
        return QByteArray("LM") + QByteArray::number(level, 16).rightJustified(2, '0').toUpper();
    case LevelFormat::HexPercent:
        return QByteArray("LM") + QByteArray::number(level, 16).rightJustified(2, '0').toUpper() +
               '%';
    case LevelFormat::SpaceDecimal:
        return QByteArray("LM ") + QByteArray::number(level).rightJustified(3, '0');
    case LevelFormat::PercentHex:
        return QByteArray("LM%") + QByteArray::number(level, 16).rightJustified(2, '0').toUpper();
    case LevelFormat::SpaceHex:
        return QByteArray("LM ") + QByteArray::number(level, 16).rightJustified(2, '0').toUpper();
    case LevelFormat::LowerDecimal:
        return QByteArray("lm ") + QByteArray::number(level).rightJustified(3, '0');
    }
    return QByteArray();
}

QByteArray ReceiverModel::scopeStatus() const
{
    return QByteArray("AM CF") + QByteArray::number(m_scopeCentre).rightJustified(10, '0') + " SW" +
           QByteArray::number(m_scopeSpan) + " MF" +
           QByteArray::number(m_scopeMarker).rightJustified(10, '0') + " PH" +
           QByteArray::number(m_peakHold);
}

bool ReceiverModel::setScopeCentre(const QByteArray &argument)
{
    quint64 hz = 0;
    if (isDigits(argument, 10)) {
        hz = argument.toULongLong();
    } else {
        static const QRegularExpression mhzForm(QStringLiteral("^([0-9]{1,4})\\.([0-9]{3})$"));
        const QRegularExpressionMatch match = mhzForm.match(QString::fromLatin1(argument));
        if (!match.hasMatch())
            return false;
        hz = match.captured(1).toULongLong() * 1000000 + match.captured(2).toULongLong() * 1000;
    }
    if (hz < minFrequency || hz > maxFrequency)
        return false;
    m_scopeCentre = hz;
    return true;
}

QVector<SimReply> ReceiverModel::scopeFrame(int firstDelayMs)
{
    const bool narrow = m_scopeSpan >= 6;
    const int rows = narrow ? 4 : 32;
    const qint64 step = narrow ? 2000 : 10000;
    const qint64 centreBin = narrow ? 64 : 512;
    QVector<SimReply> frame;
    for (int row = 0; row < rows; ++row) {
        const int top = (rows - row) * 32 - 1;
        QByteArray text = "DS" + QByteArray::number(top).rightJustified(4, '0') + ':';
        for (int bin = top; bin > top - 32; --bin) {
            const qint64 f = static_cast<qint64>(m_scopeCentre) + (bin - centreBin) * step;
            const int level = f > 0 ? m_plan.levelAt(static_cast<quint64>(f)) : 0;
            const int noise = std::uniform_int_distribution<int>(0, 1)(m_random);
            text += "0123456789ABCDEF"[std::clamp(level / 16 + noise, 0, 15)];
        }
        frame.append(SimReply{text + '\r', firstDelayMs + row * m_scopeRowMs, true});
    }
    return frame;
}

QVector<SimReply> ReceiverModel::continueScopeStream()
{
    if (!m_scopeStreaming)
        return {};
    return scopeFrame(m_scopeGapMs);
}

bool ReceiverModel::takeScopeCancel()
{
    const bool cancel = m_scopeCancel;
    m_scopeCancel = false;
    return cancel;
}

void ReceiverModel::stopScope()
{
    m_scopeStreaming = false;
    m_scopeCancel = true;
}

QVector<SimReply> ReceiverModel::handle(const QByteArray &command, const ContentFaults &faults)
{
    if (m_standby || command.isEmpty())
        return {};
    const QVector<SimReply> ack = {line(QByteArray())};
    const QVector<SimReply> reject = {line("?")};
    const QByteArray head = command.left(2);
    const QByteArray argument = command.mid(2);

    if (head == "RF") {
        const quint64 hz = argument.toULongLong();
        if (!isDigits(argument, 10) || hz < minFrequency || hz > maxFrequency)
            return reject;
        m_frequency = hz;
        return ack;
    }
    if (command == "RX") {
        const quint64 reported = faults.wrongFrequency ? m_frequency + 5000 : m_frequency;
        const QByteArray status = QByteArray::number(measureLevel()).rightJustified(3, '0') +
                                  QByteArray::number(effectiveMode()) + (m_auto ? '1' : '0') + '0';
        return {
            line("RX RF" + QByteArray::number(reported).rightJustified(10, '0') + " ST" + status)};
    }
    if (head == "MD") {
        if (argument.size() != 1 || argument[0] < '0' || argument[0] > '8')
            return reject;
        m_mode = argument[0] - '0';
        m_auto = false;
        return ack;
    }
    if (command == "AU") {
        if (faults.malformedAuto)
            return {line(m_auto ? "AU1 MDX" : "AU MD")};
        return {line("AU" + QByteArray(1, m_auto ? '1' : '0') + " MD" +
                     QByteArray::number(effectiveMode()))};
    }
    if (command == "AU0" || command == "AU1") {
        m_auto = command == "AU1";
        return ack;
    }
    if (command == "LM")
        return {line(levelReply(measureLevel(), faults.malformedLevel))};
    if (command == "VR") {
        static const char *const malformed[] = {"VR1", "vr rxsim 1.0"};
        return {line(faults.badIdentity ? malformed[m_badIdentities++ % 2] : "VR RXSIM 1.0")};
    }
    if (command == "QP") {
        m_standby = true;
        stopScope();
        return {};
    }
    if (command == "EX") {
        stopScope();
        return {};
    }
    if (command == "VF") {
        if (!faults.stuckScope)
            stopScope();
        return {};
    }
    if (command == "AM")
        return {line(scopeStatus())};
    if (head == "CF")
        return setScopeCentre(argument) ? QVector<SimReply>() : reject;
    if (head == "SW") {
        if (argument.size() != 1 || argument[0] < '1' || argument[0] > '7')
            return reject;
        m_scopeSpan = argument[0] - '0';
        return {};
    }
    if (head == "MF") {
        const quint64 hz = argument.toULongLong();
        if (!isDigits(argument, 10) || hz < minFrequency || hz > maxFrequency)
            return reject;
        m_scopeMarker = hz;
        return {};
    }
    if (command == "PH0" || command == "PH1") {
        m_peakHold = command == "PH1" ? 1 : 0;
        return {};
    }
    if (command == "DS") {
        m_scopeStreaming = m_continuousScope;
        return scopeFrame(0);
    }
    return reject;
}
