#include "rxctlsession.h"

#include <QtGlobal>

namespace {

Corvindriver *openDriver = nullptr;
QString openPort;

} // namespace

namespace RxctlSession {

void setReceiver(Corvindriver *driver, const QString &portName)
{
    openDriver = driver;
    openPort = portName;
}

Corvindriver &driver()
{
    Q_ASSERT(openDriver);
    return *openDriver;
}

QString portName()
{
    return openPort;
}

} // namespace RxctlSession
