#include "rxctlsession.h"

#include <QSet>
#include <QtGlobal>

namespace {

Corvindriver *openDriver = nullptr;
QString openPort;
QSet<QString> commandsRun;

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

void noteCommand(const QString &name)
{
    commandsRun.insert(name);
}

bool hasRun(const QString &name)
{
    return commandsRun.contains(name);
}

} // namespace RxctlSession
