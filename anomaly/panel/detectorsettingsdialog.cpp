#include "detectorsettingsdialog.h"

#include "metricnames.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

QSpinBox *countBox(QWidget *parent, const char *name, int low, int high, int value,
                   const QString &suffix)
{
    auto *box = new QSpinBox(parent);
    box->setObjectName(QLatin1String(name));
    box->setRange(low, high);
    box->setSuffix(suffix);
    box->setValue(value);
    return box;
}

QDoubleSpinBox *ruleBox(QWidget *parent, const QString &name, double low, double high, double value)
{
    auto *box = new QDoubleSpinBox(parent);
    box->setObjectName(name);
    box->setDecimals(3);
    box->setRange(low, high);
    box->setValue(value);
    return box;
}

} // namespace

DetectorSettingsDialog::DetectorSettingsDialog(const DecisionConfig &config, QWidget *parent)
    : QDialog(parent)
    , m_original(config)
{
    setObjectName(QStringLiteral("anomalyDetectorSettings"));
    setWindowTitle(tr("Anomaly detector settings"));
    setModal(true);

    const QString seconds = QStringLiteral(" s");
    m_learn = countBox(this, "anomalyLearn", 10, 300, config.learn, QString());
    m_confirm = countBox(this, "anomalyConfirm", 1, 20, config.confirm, seconds);
    m_release = countBox(this, "anomalyRelease", 1, 120, config.release, seconds);
    m_cooldown = countBox(this, "anomalyCooldown", 0, 600, config.cooldown, seconds);
    m_captureEnd = new QCheckBox(tr("Capture END events too"), this);
    m_captureEnd->setObjectName(QStringLiteral("anomalyCaptureEnd"));
    m_captureEnd->setChecked(config.captureEnd);
    auto *form = new QFormLayout;
    form->addRow(tr("Reference samples per metric"), m_learn);
    form->addRow(tr("Confirmation"), m_confirm);
    form->addRow(tr("Release hysteresis"), m_release);
    form->addRow(tr("Cooldown after capture"), m_cooldown);
    form->addRow(m_captureEnd);

    auto *explanation =
        new QLabel(tr("Score >= 1: candidate. Relative = |value - median| / (max(1.4826 MAD, "
                      "floor) * Z). Absolute = value / threshold (0 disables). Larger score "
                      "wins. Release below 0.7. Experimental thresholds, not probabilities."),
                   this);
    explanation->setWordWrap(true);

    auto *grid = new QGridLayout;
    const QStringList headers = {tr("Metric"), tr("Enable"), tr("Z"), tr("Scale floor"),
                                 tr("Absolute upper")};
    for (int c = 0; c < headers.size(); ++c)
        grid->addWidget(new QLabel(QStringLiteral("<b>%1</b>").arg(headers[c]), this), 0, c);
    int row = 1;
    for (int i = 0; i < AnomalyMetrics::count; ++i) {
        if (!AnomalyMetrics::hasRule(i))
            continue;
        const auto at = static_cast<std::size_t>(i);
        const MetricRule &rule = config.rules[at];
        const QString prefix = QStringLiteral("rule_") + QLatin1String(AnomalyMetrics::key(i));
        auto *name = new QLabel(MetricNames::name(i), this);
        name->setToolTip(MetricNames::description(i));
        RuleFields &fields = m_rules[at];
        fields.enabled = new QCheckBox(this);
        fields.enabled->setObjectName(prefix + QStringLiteral("_enabled"));
        fields.enabled->setChecked(rule.enabled);
        fields.z = ruleBox(this, prefix + QStringLiteral("_z"), 1.0, 100.0, rule.z);
        fields.floor =
            ruleBox(this, prefix + QStringLiteral("_floor"), 0.001, 10000.0, rule.scaleFloor);
        fields.absolute = ruleBox(this, prefix + QStringLiteral("_absolute"), 0.0, 10000.0,
                                  rule.absoluteThreshold);
        grid->addWidget(name, row, 0);
        grid->addWidget(fields.enabled, row, 1, Qt::AlignCenter);
        grid->addWidget(fields.z, row, 2);
        grid->addWidget(fields.floor, row, 3);
        grid->addWidget(fields.absolute, row, 4);
        ++row;
    }

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(explanation);
    layout->addLayout(grid);
    layout->addWidget(buttons);
}

DecisionConfig DetectorSettingsDialog::config() const
{
    DecisionConfig config = m_original;
    config.learn = m_learn->value();
    config.confirm = m_confirm->value();
    config.release = m_release->value();
    config.cooldown = m_cooldown->value();
    config.captureEnd = m_captureEnd->isChecked();
    for (int i = 0; i < AnomalyMetrics::count; ++i) {
        const auto at = static_cast<std::size_t>(i);
        const RuleFields &fields = m_rules[at];
        if (!fields.enabled)
            continue;
        MetricRule &rule = config.rules[at];
        rule.enabled = fields.enabled->isChecked();
        rule.z = fields.z->value();
        rule.scaleFloor = fields.floor->value();
        rule.absoluteThreshold = fields.absolute->value();
    }
    return config;
}
