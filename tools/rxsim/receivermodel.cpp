#include "receivermodel.h"

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

QVector<SimReply> ReceiverModel::continueScopeStream()
{
    return m_scope.continueStream();
}

bool ReceiverModel::takeScopeCancel()
{
    return m_scope.takeCancel();
}

QVector<SimReply> ReceiverModel::handle(const QByteArray &command, const ContentFaults &faults)
{
    if (m_standby || command.isEmpty())
        return {};
    m_scope.noteCommand(command);
    const QVector<SimReply> ack = {line(QByteArray())};
    const QVector<SimReply> reject = {line("?")};
    const QByteArray head = command.left(2);
    const QByteArray argument = command.mid(2);

    if (head == "RF") {
        const quint64 hz = argument.toULongLong();
        if (!isDigits(argument, 10) || hz < minFrequency || hz > maxFrequency)
            return reject;
        m_frequency = hz;
        ++m_tunings;
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
        m_scope.stop();
        return {};
    }
    if (command == "EX") {
        m_scope.stop();
        return {};
    }
    if (command == "VF") {
        if (!faults.stuckScope)
            m_scope.stop();
        return {};
    }
    QVector<SimReply> scopeReplies;
    if (m_scope.handle(command, &scopeReplies))
        return scopeReplies;
    return reject;
}
