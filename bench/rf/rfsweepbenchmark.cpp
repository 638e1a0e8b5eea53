// corvin-bench-rfsweep: the RF sweep through the real driver and a pseudo-terminal against the
// simulated receiver.
//
//   corvin-bench-rfsweep step [STEPS]   paced line (19200 baud 8N2), settle 50 ms: the median
//                                       time between two tunes, and what it costs beyond the
//                                       settle time and the bytes' wire time (RF, its
//                                       acknowledgement, LM and its reply). Target <= 2 ms.
//   corvin-bench-rfsweep memory STEPS   instant line, no settle time: the peak resident memory
//                                       after a sweep of STEPS frequencies (flat from 10^3 to
//                                       10^5 is the target).
#include "benchreceiver.h"
#include "receivermode.h"
#include "rfsweep.h"
#include "rxsimulator.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

int run(bool paced, qint64 steps, int settleMs, std::vector<double> *intervals)
{
    BenchReceiver rig;
    if (!rig.start(paced))
        return 1;
    QTemporaryDir folder;
    RfSweep sweep(rig.driver, receiverModeNames());
    sweep.setOutputFolder(folder.path());
    RfSweepPlan plan;
    plan.startHz = 88000000;
    plan.stepHz = 100;
    plan.endHz = plan.startHz + (steps - 1) * plan.stepHz;
    plan.mode = int(ReceiverMode::Am);
    plan.modeText = receiverModeName(plan.mode);
    plan.settleMs = settleMs;

    QElapsedTimer clock;
    qint64 last = -1;
    QObject::connect(&sweep, &RfSweep::tuned, [&](qint64) {
        const qint64 now = clock.nsecsElapsed();
        if (last >= 0 && intervals)
            intervals->push_back((now - last) / 1e6);
        last = now;
    });
    QEventLoop loop;
    RfSweep::Outcome outcome = RfSweep::Outcome::Failure;
    QObject::connect(&sweep, &RfSweep::finished, [&](RfSweep::Outcome result) {
        outcome = result;
        loop.quit();
    });
    clock.start();
    QString status;
    if (!sweep.start(plan, &status))
        return 1;
    if (sweep.isRunning())
        loop.exec();
    std::fprintf(stderr, "%lld frequencies in %.1f s\n", static_cast<long long>(steps),
                 clock.elapsed() / 1000.0);
    return outcome == RfSweep::Outcome::Completed ? 0 : 1;
}

} // namespace

int main(int argc, char *argv[])
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList arguments = app.arguments().mid(1);
    const QString mode = arguments.value(0);
    if (mode == QLatin1String("step")) {
        const qint64 steps = arguments.value(1, QStringLiteral("1000")).toLongLong();
        std::vector<double> intervals;
        if (run(true, steps, 50, &intervals) != 0 || intervals.empty())
            return 1;
        std::sort(intervals.begin(), intervals.end());
        const double median = intervals[intervals.size() / 2];
        // RF + ten digits + CR, the acknowledging CR, LM + CR, LMxx + CR.
        const double wire = (13 + 1 + 3 + 5) * RxSimulator::byteTimeNs / 1e6;
        std::printf("steps %zu  median %.3f ms  settle 50 ms  wire %.3f ms  overhead %.3f ms  "
                    "p90 %.3f ms  max %.3f ms\n",
                    intervals.size(), median, wire, median - 50.0 - wire,
                    intervals[intervals.size() * 9 / 10], intervals.back());
        return 0;
    }
    if (mode == QLatin1String("memory")) {
        const qint64 steps = arguments.value(1).toLongLong();
        if (steps < 1 || run(false, steps, 0, nullptr) != 0)
            return 1;
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        std::printf("steps %lld  peak resident memory %ld KiB\n", static_cast<long long>(steps),
                    usage.ru_maxrss);
        return 0;
    }
    std::fprintf(stderr, "usage: corvin-bench-rfsweep step [STEPS] | memory STEPS\n");
    return 2;
}
