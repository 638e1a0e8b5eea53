#pragma once

#include "decisionconfig.h"

#include <QVector>
#include <QWidget>

#include <array>

class QLabel;

// The metric area of the live analysis group: a status line and the fourteen metrics, three to
// a row, each a name and a value label carrying the metric's description as tooltip. Values
// read "--" until a finite one arrives. Decisions mark the active metrics bold orange and put
// each metric's score (or "Not used for trigger") in its value tooltip. GUI thread only.
class MetricGrid : public QWidget
{
    Q_OBJECT

public:
    explicit MetricGrid(QWidget *parent = nullptr);

    // Armed: every value "--" and unstyled, the status "Collecting first second…" (monitor on)
    // or "Monitor disabled". Disarmed: "Idle — arm to start live analysis".
    void setArmed(bool armed, bool monitor);

    // One feature update: values (14, NaN = unavailable), seconds, historyRows (0-64),
    // computeMs (ms).
    void showFeatures(qint64 seconds, int historyRows, const QVector<double> &values,
                      double computeMs);
    // The analysis stopped with this error; capture goes on.
    void showFeaturesError(const QString &error);
    // One decision: scores (14), active mask, judged against the rules of config.
    void showDecision(const QVector<double> &scores, int activeMask, const DecisionConfig &config);

    QString statusText() const;
    QLabel *valueLabel(int metric) const;

private:
    void clearValues();

    QLabel *m_status = nullptr;
    std::array<QLabel *, AnomalyMetrics::count> m_values{};
};
