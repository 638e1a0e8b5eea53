#pragma once

#include <QString>

class Corvindriver;

// The receiver corvin-rxctl opened, for the job verbs that run on it. Set by main before a
// job runs; the driver stays open until the job returns.
namespace RxctlSession {

void setReceiver(Corvindriver *driver, const QString &portName);
Corvindriver &driver();
// The port as the user gave it ("serial_port" in archives).
QString portName();
// The short commands that ran before the job ("tune", "mode", ...), noted by main as each
// succeeds.
void noteCommand(const QString &name);
bool hasRun(const QString &name);

} // namespace RxctlSession
