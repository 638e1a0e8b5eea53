#pragma once

// The detection policy's pure computation: once per feature update it scores every enabled
// metric against a robust rolling reference of its own recent normal values (median and MAD)
// and an optional fixed upper threshold, activates a metric after `confirm` consecutive scores
// >= 1, releases it after `release` consecutive scores < 0.7, and names the update NEW, CHANGE,
// END or NONE. The scores are not probabilities.
//
// One thread at a time. reset() allocates the references; step() neither allocates nor locks.

#include "anomalymetric.h"
#include "decisionconfig.h"

#include <QtGlobal>

#include <vector>

struct FeatureUpdate;

enum class Decision { None = 0, New = 1, Change = 2, End = 3 };

// "NONE", "NEW", "CHANGE" or "END".
const char *decisionName(Decision decision);

struct DecisionResult
{
    Decision decision = Decision::None;
    AnomalyMetrics::Values scores{};    // 0 where not computed
    AnomalyMetrics::Values baselines{}; // reference median; NaN when not evaluated or empty
    AnomalyMetrics::Values scales{};    // robust scale used; NaN likewise
    quint32 activeMask = 0;             // bit i: metric i active after this update
    quint32 changedMask = 0;            // newly active (NEW, CHANGE) or released (END)
    int learned = 0;                    // the engine's learned counter after this update
};

class DecisionEngine
{
public:
    DecisionEngine();

    // Copies the configuration, empties every tracker and zeroes the learned counter.
    void reset(const DecisionConfig &config);
    const DecisionConfig &config() const { return m_config; }

    // Reads the update's values and historyRows only. Before the structural history is complete
    // (64 rows) nothing is evaluated and the result is NONE with zero scores.
    DecisionResult step(const FeatureUpdate &update);

    int learned() const { return m_learned; }
    // Values held in a metric's reference (for tests and displays).
    int referenceSize(int metric) const;

private:
    // A metric's rolling reference of accepted normal values (a ring, oldest first) and its
    // confirmation and release state.
    struct Tracker
    {
        std::vector<double> reference;
        std::size_t oldest = 0;
        std::size_t size = 0;
        int confirmCount = 0;
        int releaseCount = 0;
        bool active = false;

        void append(double value, std::size_t capacity);
    };

    void robustReference(const Tracker &tracker, double *median, double *mad);

    DecisionConfig m_config;
    std::vector<Tracker> m_trackers;
    std::vector<double> m_scratch;
    std::size_t m_capacity = 0;
    int m_learned = 0;
};
