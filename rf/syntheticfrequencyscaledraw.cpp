#include "syntheticfrequencyscaledraw.h"

#include <qwt_text.h>

QwtText SyntheticFrequencyScaleDraw::label(double megahertz) const
{
    return QwtText(text(megahertz));
}

QString SyntheticFrequencyScaleDraw::text(double megahertz)
{
    QString result = QString::number(megahertz, 'f', 6);
    while (result.endsWith(QLatin1Char('0')))
        result.chop(1);
    if (result.endsWith(QLatin1Char('.')))
        result.chop(1);
    return result == QLatin1String("-0") ? QStringLiteral("0") : result;
}
