#pragma once

// A receiver driver on an in-process, unpaced simulated receiver with a band plan of one AUTO
// segment (NFM) and the given station lines, for tests of the activities that drive it.

#include "bandplan.h"
#include "corvindriver.h"
#include "rxsimulator.h"

#include <QFile>
#include <QStringList>
#include <QTemporaryFile>
#include <QTest>
#include <QTextStream>

class SimulatorRig
{
public:
    explicit SimulatorRig(const QStringList &stations = {})
    {
        QTemporaryFile file;
        QVERIFY(file.open());
        QTextStream out(&file);
        out << "band 100000 3000000001 NFM\n";
        for (const QString &line : stations)
            out << line << '\n';
        out.flush();
        BandPlan plan;
        QString error;
        QVERIFY2(BandPlan::loadFile(file.fileName(), &plan, &error), qPrintable(error));
        sim.setBandPlan(plan);
        sim.setPaced(false);
        sim.setLevelJitter(0);
        QVERIFY2(sim.start(&error), qPrintable(error));
        QVERIFY(driver.openPort(sim.portPath()));
        ready = true;
    }

    // The lines of a text file after the header.
    static QStringList csvLines(const QString &path)
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
        if (!lines.isEmpty() && lines.last().isEmpty())
            lines.removeLast();
        if (!lines.isEmpty())
            lines.removeFirst();
        return lines;
    }

    RxSimulator sim;
    Corvindriver driver;
    bool ready = false;
};
