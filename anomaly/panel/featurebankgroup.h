#pragma once

#include "decisionconfig.h"

#include <QGroupBox>
#include <QVector>

class MetricGrid;
class QCheckBox;
class QHBoxLayout;
class QLabel;
class QPushButton;
class QSettings;
class QSpinBox;
class QToolButton;

// The live analysis group of the anomaly panel ("Live DSP feature bank - step 3"): "Enable
// analysis", the analysis band and "Automatic trigger", which arming reads; "Show metrics" with
// the metric area (MetricGrid) it hides or shows; "Detector settings...", which edits and
// stores the detector configuration; the detector status line, which shows each decision of the
// armed detector; and the row of tool buttons ("Replay WAV..."). The detector configuration is
// read from the settings at construction; "Automatic trigger" starts unchecked and is never
// stored. GUI thread only.
class FeatureBankGroup : public QGroupBox
{
    Q_OBJECT

public:
    FeatureBankGroup(QSettings &settings, QWidget *parent = nullptr);

    bool analysisEnabled() const;
    double lowHz() const;  // Hz
    double highHz() const; // Hz
    bool automaticTrigger() const;
    // The detector configuration with the automatic flag of "Automatic trigger".
    DecisionConfig decisionConfig() const;

    // Armed: the settings are locked, the last status is cleared and the detector waits for
    // its history. Disarmed: unlocked, "Idle".
    void setArmed(bool armed);

    // One decision of the armed detector: the status line reads "AUTO | observation ..." (or
    // PREVIEW), a status other than "NONE" becomes the last status and is logged, and the
    // metric area marks the active metrics.
    void showDecision(const QString &status, const QVector<double> &scores, int learned,
                      int activeMask, int saved, int skipped);

    MetricGrid *metricGrid() const { return m_metrics; }
    // The row of tool buttons below the detector status, for the panel's tools.
    QHBoxLayout *toolRow() const { return m_tools; }

public slots:
    // "Detector settings...": OK stores every detector key and takes the values for the next
    // arm; Cancel changes nothing.
    void editDetectorSettings();

signals:
    // A line for the application log ("Detector: NEW").
    void logMessage(const QString &message);
    // "Replay WAV..." was pressed.
    void replayRequested();

private:
    QSettings &m_settings;
    DecisionConfig m_config;
    QString m_lastStatus;
    QCheckBox *m_analysis = nullptr;
    QSpinBox *m_low = nullptr;
    QSpinBox *m_high = nullptr;
    QCheckBox *m_automatic = nullptr;
    QLabel *m_detectorStatus = nullptr;
    QToolButton *m_showMetrics = nullptr;
    MetricGrid *m_metrics = nullptr;
    QPushButton *m_detectorSettings = nullptr;
    QHBoxLayout *m_tools = nullptr;
};
