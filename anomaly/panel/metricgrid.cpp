#include "metricgrid.h"

#include "anomalytexts.h"
#include "metricnames.h"

#include <QFontDatabase>
#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

#include <cmath>

using AnomalyTexts::Text;

namespace {

constexpr int metricsPerRow = 3;
constexpr int valueMinimumWidth = 80; // px
const char *const activeStyle = "font-weight: bold; color: #e09337;";

} // namespace

MetricGrid::MetricGrid(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("anomalyMetricArea"));
    m_status = new QLabel(AnomalyTexts::text(Text::MetricsIdle), this);
    m_status->setObjectName(QStringLiteral("anomalyMetricStatus"));
    m_status->setWordWrap(true);

    auto *grid = new QGridLayout;
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    for (int i = 0; i < AnomalyMetrics::count; ++i) {
        const QString tip = MetricNames::description(i);
        auto *name = new QLabel(MetricNames::name(i), this);
        name->setToolTip(tip);
        auto *value = new QLabel(QStringLiteral("--"), this);
        value->setObjectName(QStringLiteral("anomalyMetric_") +
                             QLatin1String(AnomalyMetrics::key(i)));
        value->setFont(fixed);
        value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        value->setMinimumWidth(valueMinimumWidth);
        value->setToolTip(tip);
        const int row = i / metricsPerRow;
        const int column = 2 * (i % metricsPerRow);
        grid->addWidget(name, row, column);
        grid->addWidget(value, row, column + 1);
        m_values[static_cast<std::size_t>(i)] = value;
    }
    for (int c = 0; c < metricsPerRow; ++c)
        grid->setColumnStretch(2 * c, 1);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_status);
    layout->addLayout(grid);
}

void MetricGrid::clearValues()
{
    for (QLabel *value : m_values) {
        value->setText(QStringLiteral("--"));
        value->setStyleSheet(QString());
    }
}

void MetricGrid::setArmed(bool armed, bool monitor)
{
    if (armed)
        clearValues();
    m_status->setText(AnomalyTexts::text(!armed    ? Text::MetricsIdle
                                         : monitor ? Text::MetricsCollecting
                                                   : Text::MetricsDisabled));
}

void MetricGrid::showFeatures(qint64 seconds, int historyRows, const QVector<double> &values,
                              double computeMs)
{
    for (int i = 0; i < AnomalyMetrics::count; ++i)
        m_values[static_cast<std::size_t>(i)]->setText(
            MetricNames::formatValue(i, values.value(i, std::nan(""))));
    m_status->setText(AnomalyTexts::text(Text::MetricsLine)
                          .arg(seconds)
                          .arg(historyRows / 8)
                          .arg(computeMs, 0, 'f', 1));
}

void MetricGrid::showFeaturesError(const QString &error)
{
    for (QLabel *value : m_values)
        value->setText(QStringLiteral("--"));
    m_status->setText(AnomalyTexts::text(Text::MetricsStopped) + error);
}

void MetricGrid::showDecision(const QVector<double> &scores, int activeMask,
                              const DecisionConfig &config)
{
    for (int i = 0; i < AnomalyMetrics::count; ++i) {
        const auto at = static_cast<std::size_t>(i);
        QLabel *value = m_values[at];
        const QString tail =
            config.rules[at].enabled && AnomalyMetrics::hasRule(i)
                ? AnomalyTexts::text(Text::ScoreTip).arg(scores.value(i), 0, 'f', 2)
                : AnomalyTexts::text(Text::NotUsedTip);
        value->setToolTip(MetricNames::description(i) + tail);
        const bool active = activeMask & static_cast<int>(AnomalyMetrics::bit(i));
        value->setStyleSheet(active ? QLatin1String(activeStyle) : QString());
    }
}

QString MetricGrid::statusText() const
{
    return m_status->text();
}

QLabel *MetricGrid::valueLabel(int metric) const
{
    return metric >= 0 && metric < AnomalyMetrics::count
               ? m_values[static_cast<std::size_t>(metric)]
               : nullptr;
}
