#pragma once

#include <qwt_scale_draw.h>

// The synthetic spectrum's RF axis: values are MHz, labelled with six decimals from which
// trailing zeros and then a trailing point are removed (4.6 for 4.600000, 4.6125 for 4.612500).
class SyntheticFrequencyScaleDraw : public QwtScaleDraw
{
public:
    QwtText label(double megahertz) const override;
    static QString text(double megahertz);
};
