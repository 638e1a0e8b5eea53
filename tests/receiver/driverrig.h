#pragma once

#include "corvindriver.h"
#include "rxsimulator.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QStringList>
#include <QTest>

#include <memory>

// A driver connected through a real pseudo-terminal to an in-process simulated receiver,
// with spies on the driver's signals.
class DriverRig
{
public:
    explicit DriverRig(bool paced = true)
    {
        sim.setPaced(paced);
        sim.setLevelJitter(0);
        QString error;
        started = sim.start(&error);
        if (!started)
            qWarning("simulator: %s", qPrintable(error));
        opened = started && driver.openPort(sim.portPath());
    }

    bool ready() const { return started && opened; }

    // Waits until the simulator has taken in everything the driver wrote.
    void settle()
    {
        QElapsedTimer clock;
        clock.start();
        qsizetype seen = -1;
        while (clock.elapsed() < 1000) {
            QTest::qWait(30);
            const qsizetype now = sim.receivedBytes().size();
            if (now == seen)
                return;
            seen = now;
        }
    }

    QByteArray wire()
    {
        settle();
        return sim.receivedBytes();
    }

    void clear()
    {
        settle();
        sim.clearWireLog();
        errors.clear();
        diagnostics.clear();
        states.clear();
    }

    static QStringList texts(const QSignalSpy &spy)
    {
        QStringList list;
        for (const QList<QVariant> &call : spy)
            list << call.at(0).toString();
        return list;
    }
    QStringList errorTexts() const { return texts(errors); }
    QStringList diagnosticTexts() const { return texts(diagnostics); }

    RxSimulator sim;
    Corvindriver driver;
    QSignalSpy errors{&driver, &Corvindriver::errorOccurred};
    QSignalSpy diagnostics{&driver, &Corvindriver::serialDiagnostic};
    QSignalSpy states{&driver, &Corvindriver::stateChanged};
    bool started = false;
    bool opened = false;
};
