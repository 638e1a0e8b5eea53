#include "decisionengine.h"

#include "livefeaturebank.h"
#include "rankselect.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double unavailable = std::numeric_limits<double>::quiet_NaN();
constexpr double releaseBelow = 0.7;
constexpr double madToSigma = 1.4826;
constexpr std::size_t minimumCapacity = 180;

} // namespace

const char *decisionName(Decision decision)
{
    switch (decision) {
    case Decision::None:
        break;
    case Decision::New:
        return "NEW";
    case Decision::Change:
        return "CHANGE";
    case Decision::End:
        return "END";
    }
    return "NONE";
}

void DecisionEngine::Tracker::append(double value, std::size_t capacity)
{
    if (size < capacity) {
        reference[(oldest + size) % capacity] = value;
        ++size;
    } else {
        reference[oldest] = value;
        oldest = (oldest + 1) % capacity;
    }
}

DecisionEngine::DecisionEngine()
{
    reset(DecisionConfig());
}

void DecisionEngine::reset(const DecisionConfig &config)
{
    m_config = config;
    m_capacity =
        std::max<std::size_t>(static_cast<std::size_t>(std::max(config.learn, 1)), minimumCapacity);
    m_trackers.assign(AnomalyMetrics::count, Tracker());
    for (Tracker &tracker : m_trackers)
        tracker.reference.assign(m_capacity, 0.0);
    m_scratch.assign(m_capacity, 0.0);
    m_learned = 0;
}

int DecisionEngine::referenceSize(int metric) const
{
    return static_cast<int>(m_trackers[static_cast<std::size_t>(metric)].size);
}

void DecisionEngine::robustReference(const Tracker &tracker, double *median, double *mad)
{
    const std::size_t n = tracker.size;
    std::copy_n(tracker.reference.begin(), n, m_scratch.begin());
    const double f = RankSelect::meanMedian(m_scratch.data(), n);
    for (std::size_t i = 0; i < n; ++i)
        m_scratch[i] = std::abs(tracker.reference[i] - f);
    *median = f;
    *mad = RankSelect::meanMedian(m_scratch.data(), n);
}

DecisionResult DecisionEngine::step(const FeatureUpdate &update)
{
    DecisionResult result;
    result.baselines.fill(unavailable);
    result.scales.fill(unavailable);
    result.learned = m_learned;
    if (update.historyRows < LiveFeatureBank::structuralRows)
        return result;

    quint32 previouslyActive = 0;
    quint32 newlyActive = 0;
    quint32 released = 0;
    for (int i = 0; i < AnomalyMetrics::count; ++i) {
        const MetricRule &rule = m_config.rules[static_cast<std::size_t>(i)];
        if (!rule.enabled || !AnomalyMetrics::hasRule(i))
            continue;
        Tracker &tracker = m_trackers[static_cast<std::size_t>(i)];
        const quint32 bit = AnomalyMetrics::bit(i);
        if (tracker.active)
            previouslyActive |= bit;

        // Invalid data neither establishes nor releases an anomaly.
        const double v = update.values[static_cast<std::size_t>(i)];
        if (!std::isfinite(v)) {
            tracker.confirmCount = 0;
            tracker.releaseCount = 0;
            if (tracker.active)
                result.activeMask |= bit;
            continue;
        }

        double relative = 0.0;
        if (tracker.size > 0) {
            double median = 0.0;
            double mad = 0.0;
            robustReference(tracker, &median, &mad);
            const double scale = std::max(madToSigma * mad, rule.scaleFloor);
            result.baselines[static_cast<std::size_t>(i)] = median;
            result.scales[static_cast<std::size_t>(i)] = scale;
            if (tracker.size >= static_cast<std::size_t>(m_config.learn))
                relative = std::abs(v - median) / scale / rule.z;
        }
        const double absolute = rule.absoluteThreshold > 0.0 ? v / rule.absoluteThreshold : 0.0;
        const double score = std::max(absolute, relative);
        result.scores[static_cast<std::size_t>(i)] = score;

        bool learn = false;
        if (tracker.active) {
            tracker.releaseCount = score < releaseBelow ? tracker.releaseCount + 1 : 0;
            if (tracker.releaseCount >= m_config.release) {
                tracker.active = false;
                tracker.confirmCount = 0;
                tracker.releaseCount = 0;
                released |= bit;
                learn = true;
            }
            // Otherwise the reference stays frozen while the metric is active.
        } else {
            tracker.confirmCount = score >= 1.0 ? tracker.confirmCount + 1 : 0;
            if (tracker.confirmCount >= m_config.confirm) {
                tracker.active = true;
                tracker.confirmCount = 0;
                tracker.releaseCount = 0;
                newlyActive |= bit;
            } else {
                learn = true;
            }
        }
        // A candidate (score >= 1, not yet confirmed) is never learned.
        if (learn && score < 1.0)
            tracker.append(v, m_capacity);
        if (tracker.active)
            result.activeMask |= bit;
    }

    if (m_learned < m_config.learn)
        ++m_learned;
    result.learned = m_learned;

    if (previouslyActive != 0 && result.activeMask == 0) {
        result.decision = Decision::End;
        result.changedMask = released;
    } else if (previouslyActive == 0 && result.activeMask != 0) {
        result.decision = Decision::New;
        result.changedMask = newlyActive;
    } else if (newlyActive != 0) {
        result.decision = Decision::Change;
        result.changedMask = newlyActive;
    }
    return result;
}
