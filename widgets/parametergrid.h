#pragma once

#include <QCoreApplication>

class QDoubleSpinBox;
class QGridLayout;
class QWidget;

// The parameter panel of a page: captioned fields on a grid, each taking two cells, its caption
// (whose buddy it is, so the caption's shortcut focuses it) and the field. GUI thread only.
class ParameterGrid
{
    Q_DECLARE_TR_FUNCTIONS(ParameterGrid)

public:
    // The boxes of a receiver sweep's frequency range.
    struct FrequencyRange
    {
        QDoubleSpinBox *start; // MHz, 0.1-3000, 4 decimals
        QDoubleSpinBox *end;   // MHz, 0.1-3000, 4 decimals
        QDoubleSpinBox *step;  // kHz, 0.1-500, 1 decimal
    };

    // Lays the grid out on panel, which owns it.
    explicit ParameterGrid(QWidget *panel);

    QGridLayout *layout() const { return m_grid; }

    // The caption at (row, column), the field at (row, column + 1).
    void addField(int row, int column, const QString &caption, QWidget *field);

    // The start, end and step boxes across row (columns 0, 2 and 4), captioned, named
    // namePrefix + "StartMHz", "EndMHz" and "StepKHz" (the settings keys of the pages).
    FrequencyRange addFrequencyRange(int row, const QString &namePrefix);

private:
    QWidget *m_panel;
    QGridLayout *m_grid;
};
