#include "runstamp.h"

#include <QCoreApplication>

namespace RunStamp {

QString make(const QDateTime &localTime, qint64 processId)
{
    return localTime.toString(QStringLiteral("yyyyMMdd_HHmmss_zzz")) + QLatin1Char('_') +
           QString::number(processId);
}

QString now()
{
    return make(QDateTime::currentDateTime(), QCoreApplication::applicationPid());
}

} // namespace RunStamp
