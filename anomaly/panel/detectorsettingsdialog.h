#pragma once

#include "decisionconfig.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QDoubleSpinBox;
class QSpinBox;

// "Anomaly detector settings": the policy's counts (learn, confirmation, release, cooldown,
// capture END) and, for each of the eleven metrics that have rules, enable, Z, scale floor and
// absolute threshold. It edits a copy; config() gives the edited values after OK. Modal, GUI
// thread only.
class DetectorSettingsDialog : public QDialog
{
    Q_OBJECT

public:
    explicit DetectorSettingsDialog(const DecisionConfig &config, QWidget *parent = nullptr);

    // The configuration as the fields show it; the descriptive metrics and the automatic flag
    // are those of the configuration given.
    DecisionConfig config() const;

private:
    struct RuleFields
    {
        QCheckBox *enabled = nullptr;
        QDoubleSpinBox *z = nullptr;
        QDoubleSpinBox *floor = nullptr;
        QDoubleSpinBox *absolute = nullptr;
    };

    DecisionConfig m_original;
    QSpinBox *m_learn = nullptr;
    QSpinBox *m_confirm = nullptr;
    QSpinBox *m_release = nullptr;
    QSpinBox *m_cooldown = nullptr;
    QCheckBox *m_captureEnd = nullptr;
    std::array<RuleFields, AnomalyMetrics::count> m_rules{};
};
