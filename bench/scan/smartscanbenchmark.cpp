// corvin-bench-smartscan: Smart Scan through the real driver and a pseudo-terminal against the
// simulated receiver, and reopening a long archive.
//
//   corvin-bench-smartscan step [STEPS]    paced line (19200 baud 8N2), every level below the
//                                          threshold: the median time between two tunes, and what
//                                          it costs beyond the 140 ms settle time and the bytes'
//                                          wire time (RF, its acknowledgement, LM and its reply,
//                                          the archive line). Target <= 2 ms.
//   corvin-bench-smartscan reopen [LINES]  an archive of LINES frequency lines (a third of them
//                                          analysed) read into the results table, five times:
//                                          the median time. Target < 1 s for 100 000 lines.
#include "benchreceiver.h"
#include "driverscanreceiver.h"
#include "measurementrequests.h"
#include "receivermode.h"
#include "rxsimulator.h"
#include "smartscan.h"
#include "smartscandevices.h"
#include "smartscanresults.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// No frequency reaches the threshold, so nothing is ever measured.
class NoAudio : public SmartScanAudio
{
public:
    bool startAnalysis(int, int, double) override { return false; }
    void cancelAnalysis() override {}
};

int step(qint64 steps)
{
    BenchReceiver rig;
    if (!rig.start(true))
        return 1;
    QTemporaryDir folder;
    DriverScanReceiver receiver(rig.driver);
    NoAudio audio;
    MeasurementRequests requests;
    SmartScan scan(receiver, audio, requests, receiverModeNames());
    scan.setOutputFolder(folder.path());
    SmartScanPlan plan;
    plan.startHz = 88000000;
    plan.stepHz = 100;
    plan.endHz = plan.startHz + steps * plan.stepHz;
    plan.mode = int(ReceiverMode::Am);
    plan.modeText = receiverModeName(plan.mode);
    plan.threshold = 255;

    std::vector<double> intervals;
    QElapsedTimer clock;
    qint64 last = -1;
    QObject::connect(&scan, &SmartScan::tuned, [&](qint64) {
        const qint64 now = clock.nsecsElapsed();
        if (last >= 0)
            intervals.push_back((now - last) / 1e6);
        last = now;
    });
    QEventLoop loop;
    bool completed = false;
    QObject::connect(&scan, &SmartScan::finished, [&](const QString &, bool done) {
        completed = done;
        loop.quit();
    });
    clock.start();
    QString status;
    if (!scan.start(plan, &status))
        return 1;
    loop.exec();
    if (!completed || intervals.empty())
        return 1;
    std::sort(intervals.begin(), intervals.end());
    const double median = intervals[intervals.size() / 2];
    // RF + ten digits + CR, the acknowledging CR, LM + CR, LMxx + CR.
    const double wire = (13 + 1 + 3 + 5) * RxSimulator::byteTimeNs / 1e6;
    const double settle = SmartScan::settleMs;
    std::printf("steps %zu  median %.3f ms  settle %.0f ms  wire %.3f ms  overhead %.3f ms  "
                "p90 %.3f ms  max %.3f ms\n",
                intervals.size(), median, settle, wire, median - settle - wire,
                intervals[intervals.size() * 9 / 10], intervals.back());
    return 0;
}

int reopen(int lines)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("scan.jsonl"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return 1;
        file.write(QByteArrayLiteral(R"({"end_hz":)") +
                   QByteArray::number(88000000LL + qint64(lines - 1) * 100) +
                   R"(,"mode":"NFM","points":)" + QByteArray::number(lines) +
                   R"(,"schema":1,"start_hz":88000000,"step_hz":100,"type":"scan_start"})"
                   "\n");
        for (int i = 0; i < lines; ++i) {
            const QByteArray frequency = QByteArray::number(88000000LL + qint64(i) * 100);
            if (i % 3 != 0) {
                file.write(R"({"frequency_hz":)" + frequency +
                           R"(,"mode":"NFM","outcome":"below_threshold","read_attempts":1,)"
                           R"("s_meter":20,"type":"frequency","utc":"2024-03-05T14:07:09.300Z"})"
                           "\n");
            } else {
                file.write(
                    R"({"active_windows":17,"dbfs_peak":-20.5,"dbfs_rms":-23.46,"fft_windows":18,)"
                    R"("frequency_hz":)" +
                    frequency +
                    R"(,"mode":"NFM","outcome":"modulated","quality":71,"read_attempts":1,)"
                    R"("s_meter":180,"structured_windows":9,"type":"frequency",)"
                    R"("utc":"2024-03-05T14:07:11.300Z","window_dbfs":[-23.46,-22.1,-24.9,)"
                    R"(-23.46,-22.1,-24.9,-23.46,-22.1,-24.9,-23.46,-22.1,-24.9,-23.46,-22.1,)"
                    R"(-24.9,-23.46,-22.1,-24.9],"window_flatness":[0.1235,0.2,0.3,0.1235,0.2,)"
                    R"(0.3,0.1235,0.2,0.3,0.1235,0.2,0.3,0.1235,0.2,0.3,0.1235,0.2,0.3]})"
                    "\n");
            }
        }
    }
    std::vector<double> times;
    std::vector<double> readTimes;
    SmartScanResults table;
    for (int run = 0; run < 5; ++run) {
        QElapsedTimer clock;
        clock.start();
        SmartScanArchiveContents contents;
        QString error;
        if (SmartScanArchive::read(path, &contents, &error) != SmartScanArchive::ReadStatus::Ok)
            return 1;
        readTimes.push_back(clock.nsecsElapsed() / 1e6);
        table.setResults(contents.results, QStringLiteral("NFM"), false);
        times.push_back(clock.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    std::sort(readTimes.begin(), readTimes.end());
    std::printf("lines %d  rows %d  median %.1f ms (reading %.1f ms)  min %.1f ms  max %.1f ms\n",
                lines, table.rowCount(), times[times.size() / 2], readTimes[readTimes.size() / 2],
                times.front(), times.back());
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList arguments = app.arguments().mid(1);
    const QString mode = arguments.value(0);
    if (mode == QLatin1String("step"))
        return step(arguments.value(1, QStringLiteral("200")).toLongLong());
    if (mode == QLatin1String("reopen"))
        return reopen(arguments.value(1, QStringLiteral("100000")).toInt());
    std::fprintf(stderr, "usage: corvin-bench-smartscan step [STEPS] | reopen [LINES]\n");
    return 2;
}
