#include "faultplan.h"

#include <array>

namespace {

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
                                                            "bad-vr"};

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

void FaultPlan::clear()
{
    m_rates.fill(0.0);
    for (QVector<Trigger> &triggers : m_triggers)
        triggers.clear();
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
