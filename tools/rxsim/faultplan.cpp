#include "faultplan.h"

#include <QStringList>

#include <array>
#include <random>

namespace {

constexpr char xon = 0x11;
constexpr char xoff = 0x13;

const std::array<const char *, simFaultCount> faultNames = {"no-reply",
                                                            "late-reply",
                                                            "reject",
                                                            "reject-then-reply",
                                                            "echo",
                                                            "long-line",
                                                            "garbage",
                                                            "xonxoff",
                                                            "wrong-frequency",
                                                            "bad-au",
                                                            "bad-lm",
                                                            "dead",
                                                            "stuck-scope",
                                                            "xoff",
                                                            "bad-vr",
                                                            "vanish"};

// Commands answered with a line or an acknowledgement (the others are silent).
bool isAnswered(const QByteArray &command)
{
    static const std::array<const char *, 7> answered = {"RF", "RX", "MD", "AU", "LM", "VR", "AM"};
    for (const char *prefix : answered) {
        if (command.startsWith(prefix))
            return true;
    }
    return false;
}

QByteArray garbageLine(std::mt19937 &random)
{
    std::uniform_int_distribution<int> length(8, 40);
    std::uniform_int_distribution<int> byte(1, 255);
    QByteArray junk;
    for (int i = length(random); i > 0; --i) {
        char c = static_cast<char>(byte(random));
        if (c == '\r' || c == '\n' || c == xon || c == xoff || c == '?')
            c = '#';
        junk.append(c);
    }
    return junk + '\r';
}

} // namespace

FaultPlan::FaultPlan()
    : m_random(20261209u)
{}

void FaultPlan::setRate(SimFault fault, double probability)
{
    m_rates[index(fault)] = probability;
}

void FaultPlan::trigger(SimFault fault, int count, const QByteArray &commandPrefix)
{
    m_triggers[index(fault)].append(Trigger{count, commandPrefix});
}

bool FaultZone::parse(const QString &text, FaultZone *zone)
{
    const QStringList parts = text.split(QLatin1Char(':'));
    const QStringList range = parts.value(0).split(QLatin1Char('-'));
    bool lowOk = false;
    bool highOk = false;
    bool countOk = true;
    FaultZone result;
    result.low = range.value(0).toULongLong(&lowOk);
    result.high = range.value(1).toULongLong(&highOk);
    result.firstHits = parts.size() > 2 ? parts[2].toInt(&countOk) : 0;
    if (parts.size() < 2 || parts.size() > 3 || range.size() != 2 || !lowOk || !highOk ||
        result.low > result.high || !countOk || result.firstHits < 0 ||
        !FaultPlan::fromName(parts[1], &result.fault))
        return false;
    *zone = result;
    return true;
}

void FaultPlan::addZone(const FaultZone &zone)
{
    m_zones.append(ArmedZone{zone, 0});
}

void FaultPlan::clear()
{
    m_rates.fill(0.0);
    for (QVector<Trigger> &triggers : m_triggers)
        triggers.clear();
    m_zones.clear();
}

void FaultPlan::beginCommand(const QByteArray &command, quint64 tunedFrequency)
{
    m_commandFrequency = tunedFrequency;
    if (!command.startsWith("RF"))
        return;
    bool ok = false;
    const quint64 target = command.mid(2).toULongLong(&ok);
    if (ok)
        m_commandFrequency = target;
    for (ArmedZone &armed : m_zones)
        armed.hitsSinceTune = 0;
}

bool FaultPlan::zoneHits(SimFault fault)
{
    for (ArmedZone &armed : m_zones) {
        const FaultZone &zone = armed.zone;
        if (zone.fault != fault || m_commandFrequency < zone.low || m_commandFrequency > zone.high)
            continue;
        if (zone.firstHits > 0 && armed.hitsSinceTune >= zone.firstHits)
            continue;
        ++armed.hitsSinceTune;
        return true;
    }
    return false;
}

bool FaultPlan::appliesTo(SimFault fault, const QByteArray &command)
{
    switch (fault) {
    case SimFault::WrongFrequency:
        return command == "RX";
    case SimFault::MalformedAuto:
        return command == "AU";
    case SimFault::MalformedLevel:
        return command == "LM";
    case SimFault::BadIdentity:
        return command == "VR";
    case SimFault::StuckScope:
        return command == "VF";
    case SimFault::DeadLine:
    case SimFault::Vanish:
        return !command.isEmpty();
    default:
        return isAnswered(command);
    }
}

bool FaultPlan::hits(SimFault fault, const QByteArray &command)
{
    if (!appliesTo(fault, command))
        return false;
    QVector<Trigger> &armed = m_triggers[index(fault)];
    bool hit = false;
    for (auto it = armed.begin(); it != armed.end(); ++it) {
        if (command.startsWith(it->prefix)) {
            hit = true;
            if (--it->remaining <= 0)
                armed.erase(it);
            break;
        }
    }
    if (!hit)
        hit = zoneHits(fault);
    if (!hit && m_rates[index(fault)] > 0.0)
        hit = std::uniform_real_distribution<double>(0.0, 1.0)(m_random) < m_rates[index(fault)];
    if (hit)
        ++m_counts[index(fault)];
    return hit;
}

qint64 FaultPlan::totalCount() const
{
    qint64 total = 0;
    for (qint64 c : m_counts)
        total += c;
    return total;
}

QString FaultPlan::name(SimFault fault)
{
    return QString::fromLatin1(faultNames[index(fault)]);
}

bool FaultPlan::fromName(const QString &name, SimFault *fault)
{
    for (int i = 0; i < simFaultCount; ++i) {
        if (name == QLatin1String(faultNames[static_cast<size_t>(i)])) {
            *fault = static_cast<SimFault>(i);
            return true;
        }
    }
    return false;
}

TransportFaults applyTransportFaults(FaultPlan &faults, const QByteArray &command,
                                     QVector<SimReply> &replies,
                                     const TransportFaultSettings &settings, std::mt19937 &random)
{
    TransportFaults result;
    QByteArray &before = result.before;
    if (faults.hits(SimFault::RejectThenReply, command))
        before += "?\r";
    if (faults.hits(SimFault::EchoAndStray, command))
        before += command + "\r*STATUS 00\r";
    if (faults.hits(SimFault::LongLine, command)) {
        // Starts like the real answer: a receiver of a cut-off line would accept it.
        QByteArray text = replies.first().bytes;
        text.chop(1);
        before += text.leftJustified(settings.longLineLength, 'X') + '\r';
    }
    if (faults.hits(SimFault::Garbage, command))
        before += garbageLine(random);
    if (faults.hits(SimFault::FlowControl, command)) {
        QByteArray &first = replies.first().bytes;
        first.insert(qMin(2, first.size() - 1), QByteArray("\x13\x11", 2));
        before.replace('\r', QByteArray("\x13\x11\r", 3));
    }
    if (faults.hits(SimFault::HeldXoff, command))
        replies.last().bytes.append(xoff);
    if (faults.hits(SimFault::LateReply, command))
        result.extraDelayMs = settings.lateReplyMs;
    return result;
}
