#include "productage.h"

#include "productparsers.h"
#include "propagationdata.h"

namespace {

constexpr qint64 futureToleranceSeconds = 10 * 60;

ProductAge age(const char *source, const QDateTime &time, double limitHours, const QDateTime &now)
{
    ProductAge result;
    result.source = QString::fromLatin1(source);
    result.time = time;
    result.limitHours = limitHours;
    if (!time.isValid())
        return result;
    const qint64 seconds = time.secsTo(now);
    result.hours = double(seconds) / 3600.0;
    result.future = seconds < -futureToleranceSeconds;
    result.stale = result.hours > limitHours;
    return result;
}

} // namespace

QVector<ProductAge> productAges(const PropagationData &data, const QDateTime &now)
{
    return {
        age("HamQSL", data.hamqslUpdated, 6.0, now),
        age("NOAA Kp", data.kpTime, 3.0, now),
        age("NOAA F10.7", data.fluxTime, 36.0, now),
        age("NOAA WWV", ProductParsers::wwvIssuedTime(data.wwv), 6.0, now),
    };
}
