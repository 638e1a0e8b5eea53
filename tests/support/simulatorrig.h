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

// Starts sim unpaced on a quiet band (one AUTO segment, NFM) with the given station lines
// ("station FREQ MODE WIDTH LEVEL KIND [NAME]"); true when it runs.
inline bool startQuietBand(RxSimulator &sim, const QStringList &stations)
{
    QTemporaryFile file;
    if (!file.open())
        return false;
    QTextStream out(&file);
    out << "band 100000 3000000001 NFM\n";
    for (const QString &line : stations)
        out << line << '\n';
    out.flush();
    BandPlan plan;
    QString error;
    if (!BandPlan::loadFile(file.fileName(), &plan, &error)) {
        qWarning("band plan: %s", qPrintable(error));
        return false;
    }
    sim.setBandPlan(plan);
    sim.setPaced(false);
    return sim.start(&error);
}

class SimulatorRig
{
public:
    explicit SimulatorRig(const QStringList &stations = {})
    {
        sim.setLevelJitter(0);
        QVERIFY(startQuietBand(sim, stations));
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
