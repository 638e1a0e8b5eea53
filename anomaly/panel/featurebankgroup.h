#pragma once

#include "decisionconfig.h"

#include <QGroupBox>
#include <QVector>

class QCheckBox;
class QLabel;
class QSettings;
class QSpinBox;

// The live analysis settings of the anomaly panel ("Live DSP feature bank - step 3"): "Enable
// analysis", the analysis band and "Automatic trigger", which arming reads, and the detector
// status line, which shows each decision of the armed detector. The detector configuration is
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
    // PREVIEW), and a status other than "NONE" becomes the last status and is logged.
    void showDecision(const QString &status, const QVector<double> &scores, int learned,
                      int activeMask, int saved, int skipped);

signals:
    // A line for the application log ("Detector: NEW").
    void logMessage(const QString &message);

private:
    QSettings &m_settings;
    DecisionConfig m_config;
    QString m_lastStatus;
    QCheckBox *m_analysis = nullptr;
    QSpinBox *m_low = nullptr;
    QSpinBox *m_high = nullptr;
    QCheckBox *m_automatic = nullptr;
    QLabel *m_detectorStatus = nullptr;
};
