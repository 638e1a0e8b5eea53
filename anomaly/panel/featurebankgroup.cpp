#include "featurebankgroup.h"

#include "anomalytexts.h"
#include "detectorsettings.h"
#include "detectorsettingsdialog.h"
#include "metricgrid.h"
#include "metricnames.h"
#include "settingskeys.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

using AnomalyTexts::Text;

FeatureBankGroup::FeatureBankGroup(QSettings &settings, QWidget *parent)
    : QGroupBox(tr("Live DSP feature bank - step 3"), parent)
    , m_settings(settings)
{
    setObjectName(QStringLiteral("anomalyFeatureBank"));
    const AnomalySettings stored = DetectorSettings::read(DetectorSettings::lookupIn(settings));
    m_config = stored.decision;

    m_analysis = new QCheckBox(tr("Enable analysis"), this);
    m_analysis->setObjectName(QStringLiteral("anomalyMonitorCB"));
    m_analysis->setToolTip(
        tr("Calculate metrics when armed; automatic recording is a separate opt-in."));
    m_analysis->setChecked(stored.monitor);

    const QString bandTip = tr("Analysis band only (clamped below Nyquist); RMS/kurtosis are "
                               "full-band. WAV remains untouched.");
    const auto bandBox = [this, &bandTip](const char *name, int low, int high, double value) {
        auto *box = new QSpinBox(this);
        box->setObjectName(QLatin1String(name));
        box->setRange(low, high);
        box->setSuffix(QStringLiteral(" Hz"));
        box->setValue(static_cast<int>(value));
        box->setToolTip(bandTip);
        return box;
    };
    m_low = bandBox("anomalyLowHz", 0, 20000, stored.lowHz);
    m_high = bandBox("anomalyHighHz", 100, 30000, stored.highHz);
    auto *bandLabel = new QLabel(tr("Band"), this);
    bandLabel->setToolTip(bandTip);

    m_automatic = new QCheckBox(tr("Automatic trigger"), this);
    m_automatic->setObjectName(QStringLiteral("anomalyAutomaticCB"));
    m_automatic->setToolTip(
        tr("Opt in to automatic WAV capture; otherwise decisions are preview only."));

    m_detectorStatus = new QLabel(AnomalyTexts::text(Text::DetectorIdle), this);
    m_detectorStatus->setObjectName(QStringLiteral("anomalyDetectorStatus"));
    m_detectorStatus->setWordWrap(true);

    m_showMetrics = new QToolButton(this);
    m_showMetrics->setObjectName(QStringLiteral("anomalyShowMetrics"));
    m_showMetrics->setText(tr("Show metrics"));
    m_showMetrics->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_showMetrics->setCheckable(true);
    m_showMetrics->setChecked(true);
    m_showMetrics->setArrowType(Qt::DownArrow);
    m_metrics = new MetricGrid(this);

    m_detectorSettings = new QPushButton(tr("Detector settings..."), this);
    m_detectorSettings->setObjectName(QStringLiteral("anomalyDetectorSettingsButton"));
    auto *replay = new QPushButton(tr("Replay WAV..."), this);
    replay->setObjectName(QStringLiteral("anomalyReplayButton"));
    replay->setToolTip(tr("Offline replay through the live feature bank and automatic trigger "
                          "policy. No real capture."));
    auto *settingsRow = new QHBoxLayout;
    settingsRow->addWidget(m_detectorSettings);
    settingsRow->addWidget(m_detectorStatus, 1);
    m_tools = new QHBoxLayout;
    m_tools->addWidget(replay);
    m_tools->addStretch(1);

    auto *row = new QHBoxLayout;
    row->addWidget(m_analysis);
    row->addSpacing(12);
    row->addWidget(bandLabel);
    row->addWidget(m_low);
    row->addWidget(new QLabel(QStringLiteral("\u2013"), this));
    row->addWidget(m_high);
    row->addSpacing(12);
    row->addWidget(m_showMetrics);
    row->addStretch(1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(m_metrics);
    layout->addWidget(m_automatic);
    layout->addLayout(settingsRow);
    layout->addLayout(m_tools);

    // Hiding the area leaves the values updating: shown again, they are current.
    connect(m_showMetrics, &QToolButton::toggled, this, [this](bool shown) {
        m_showMetrics->setArrowType(shown ? Qt::DownArrow : Qt::RightArrow);
        m_metrics->setVisible(shown);
    });
    connect(m_detectorSettings, &QPushButton::clicked, this,
            &FeatureBankGroup::editDetectorSettings);
    connect(replay, &QPushButton::clicked, this, &FeatureBankGroup::replayRequested);

    connect(m_analysis, &QCheckBox::toggled, this, [this](bool on) {
        m_settings.setValue(QLatin1String(SettingsKeys::anomalyMonitor), on);
    });
    connect(m_low, qOverload<int>(&QSpinBox::valueChanged), this, [this](int value) {
        m_settings.setValue(QLatin1String(SettingsKeys::anomalyLowHz), value);
    });
    connect(m_high, qOverload<int>(&QSpinBox::valueChanged), this, [this](int value) {
        m_settings.setValue(QLatin1String(SettingsKeys::anomalyHighHz), value);
    });
}

bool FeatureBankGroup::analysisEnabled() const
{
    return m_analysis->isChecked();
}

double FeatureBankGroup::lowHz() const
{
    return m_low->value();
}

double FeatureBankGroup::highHz() const
{
    return m_high->value();
}

bool FeatureBankGroup::automaticTrigger() const
{
    return m_automatic->isChecked();
}

DecisionConfig FeatureBankGroup::decisionConfig() const
{
    DecisionConfig config = m_config;
    config.automatic = automaticTrigger();
    return config;
}

void FeatureBankGroup::editDetectorSettings()
{
    DetectorSettingsDialog dialog(m_config, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_config = dialog.config();
    DetectorSettings::writeDecisionConfig(m_settings, m_config);
}

void FeatureBankGroup::setArmed(bool armed)
{
    for (QWidget *control : {static_cast<QWidget *>(m_analysis), static_cast<QWidget *>(m_low),
                             static_cast<QWidget *>(m_high), static_cast<QWidget *>(m_automatic),
                             static_cast<QWidget *>(m_detectorSettings)})
        control->setEnabled(!armed);
    m_metrics->setArmed(armed, analysisEnabled());
    m_lastStatus.clear();
    m_detectorStatus->setText(
        AnomalyTexts::text(armed ? Text::DetectorWaiting : Text::DetectorIdle));
}

void FeatureBankGroup::showDecision(const QString &status, const QVector<double> &scores,
                                    int learned, int activeMask, int saved, int skipped)
{
    QStringList active;
    int maxMetric = -1;
    for (int i = 0; i < AnomalyMetrics::count; ++i) {
        if (activeMask & static_cast<int>(AnomalyMetrics::bit(i)))
            active << MetricNames::name(i);
        // The highest score among the enabled metrics; the first one on ties.
        if (m_config.rules[static_cast<std::size_t>(i)].enabled && AnomalyMetrics::hasRule(i) &&
            (maxMetric < 0 || scores.value(i) > scores.value(maxMetric)))
            maxMetric = i;
    }
    const QString maxEntry = maxMetric < 0 ? QStringLiteral("--")
                                           : MetricNames::name(maxMetric) + QLatin1Char(' ') +
                                                 QString::number(scores.value(maxMetric), 'f', 2);
    if (status != QLatin1String("NONE")) {
        m_lastStatus = status;
        emit logMessage(AnomalyTexts::text(Text::DetectorLog) + status);
    }
    m_metrics->showDecision(scores, activeMask, m_config);
    const QString none = QStringLiteral("--");
    m_detectorStatus->setText(
        AnomalyTexts::text(Text::DetectorLine)
            .arg(automaticTrigger() ? QStringLiteral("AUTO") : QStringLiteral("PREVIEW"))
            .arg(learned)
            .arg(m_config.learn)
            .arg(active.isEmpty() ? none : active.join(QStringLiteral(", ")), maxEntry,
                 m_lastStatus.isEmpty() ? none : m_lastStatus)
            .arg(saved)
            .arg(skipped));
}
