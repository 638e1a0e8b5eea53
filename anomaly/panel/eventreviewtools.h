#pragma once

#include "decisionconfig.h"

#include <QWidget>

#include <functional>

// The anomaly panel's two buttons that close the workflow: "Event archive..." opens the event
// archive of data/anomaly, "Observation statistics..." the statistics with the calibration
// against the panel's current detector rules. Both dialogs are modal. GUI thread only.
class EventReviewTools : public QWidget
{
    Q_OBJECT

public:
    // rules gives the panel's detector configuration when the statistics open.
    explicit EventReviewTools(std::function<DecisionConfig()> rules, QWidget *parent = nullptr);

signals:
    // From the archive: the DSP analyzer should take this WAV (native separators).
    void wavSelected(const QString &path);
    // From the archive's "Select and replay": the offline replay should open this WAV.
    void replayRequested(const QString &path);

public slots:
    void openArchive();
    void openStatistics();

private:
    std::function<DecisionConfig()> m_rules;
};
