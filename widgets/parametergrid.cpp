#include "parametergrid.h"

#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QLabel>

namespace {

QDoubleSpinBox *frequencyBox(QWidget *parent, const QString &name, int decimals, double high,
                             const QString &suffix)
{
    auto *box = new QDoubleSpinBox(parent);
    box->setObjectName(name);
    box->setDecimals(decimals);
    box->setRange(0.1, high);
    box->setSingleStep(0.1);
    box->setSuffix(suffix);
    return box;
}

} // namespace

ParameterGrid::ParameterGrid(QWidget *panel)
    : m_panel(panel)
    , m_grid(new QGridLayout(panel))
{}

void ParameterGrid::addField(int row, int column, const QString &caption, QWidget *field)
{
    auto *label = new QLabel(caption, m_panel);
    label->setBuddy(field);
    m_grid->addWidget(label, row, column);
    m_grid->addWidget(field, row, column + 1);
}

ParameterGrid::FrequencyRange ParameterGrid::addFrequencyRange(int row, const QString &namePrefix)
{
    const QString megahertz = QStringLiteral(" MHz");
    // A braced list creates the boxes in order, which is their tab order.
    const FrequencyRange range{
        frequencyBox(m_panel, namePrefix + QLatin1String("StartMHz"), 4, 3000.0, megahertz),
        frequencyBox(m_panel, namePrefix + QLatin1String("EndMHz"), 4, 3000.0, megahertz),
        frequencyBox(m_panel, namePrefix + QLatin1String("StepKHz"), 1, 500.0,
                     QStringLiteral(" kHz"))};
    addField(row, 0, tr("Start frequency"), range.start);
    addField(row, 2, tr("End frequency"), range.end);
    addField(row, 4, tr("Frequency step"), range.step);
    return range;
}
