#pragma once

// Advisory calibration of the detector's absolute thresholds from reviewed captures. Snapshots
// are the metric values stored with automatic NEW and CHANGE captures whose review says
// "INTERESTING" (positive class) or "FALSE_ALARM" (false class). A suggestion only ever raises
// an existing threshold, and only when the two classes do not overlap; nothing here changes a
// setting. Any thread.

#include "decisionconfig.h"
#include "eventarchive.h"

#include <QString>
#include <QVector>

#include <limits>

// One metric whose current rule is enabled with an absolute threshold above 0.
struct CalibrationRow
{
    int metric = 0;        // AnomalyMetric index
    int positiveCount = 0; // finite values of positive snapshots
    int falseCount = 0;    // finite values of false snapshots
    double minPositive = std::numeric_limits<double>::quiet_NaN(); // NaN without positive values
    double maxFalse = std::numeric_limits<double>::quiet_NaN();    // NaN without false values
    double threshold = 0;                                          // the current absolute threshold
    double suggested =
        std::numeric_limits<double>::quiet_NaN(); // NaN when no suggestion can be made
};

struct Calibration
{
    int positiveSnapshots = 0;
    int falseSnapshots = 0;
    QVector<CalibrationRow> rows; // in metric order
};

namespace ThresholdCalibration {

// At least this many finite values per class before a suggestion is made.
constexpr int minimumSamples = 5;

// Calibration over the given events (those of one complete context) against the current rules.
Calibration calibrate(const QVector<ArchivedEvent> &events, const DecisionConfig &config);

} // namespace ThresholdCalibration
