#include "scopefaults.h"

namespace {

const std::array<const char *, scopeFaultCount> faultNames = {
    "ds-stall",        "ds-garbage", "ds-31-digits", "ds-33-digits", "ds-bad-row",
    "ds-out-of-order", "ds-repeat",  "ds-reject",    "ds-long-line", "am-no-marker",
    "sw-ignored",      "ph-ignored", "cf-mhz-only",  "chatter"};

} // namespace

ScopeFaultPlan::ScopeFaultPlan()
    : m_random(5150u)
{}

void ScopeFaultPlan::setRate(ScopeFault fault, double probability)
{
    m_rates[index(fault)] = probability;
}

void ScopeFaultPlan::trigger(ScopeFault fault, int count)
{
    m_armed[index(fault)] += count;
}

void ScopeFaultPlan::clear()
{
    m_rates.fill(0.0);
    m_armed.fill(0);
}

bool ScopeFaultPlan::hits(ScopeFault fault)
{
    int &armed = m_armed[index(fault)];
    bool hit = armed > 0;
    if (hit)
        --armed;
    else if (m_rates[index(fault)] > 0.0)
        hit = std::uniform_real_distribution<double>(0.0, 1.0)(m_random) < m_rates[index(fault)];
    if (hit)
        ++m_counts[index(fault)];
    return hit;
}

QString ScopeFaultPlan::name(ScopeFault fault)
{
    return QString::fromLatin1(faultNames[index(fault)]);
}

bool ScopeFaultPlan::fromName(const QString &name, ScopeFault *fault)
{
    for (int i = 0; i < scopeFaultCount; ++i) {
        if (name == QLatin1String(faultNames[static_cast<size_t>(i)])) {
            *fault = static_cast<ScopeFault>(i);
            return true;
        }
    }
    return false;
}
