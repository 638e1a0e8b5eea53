// corvin-bench-bandscope: continuous band-scope capture on the RX Band Scope page against the
// simulated receiver on a line paced like 19200 baud 8N2, with no sweep time and no gap between
// rows. For frames of 4 and of 32 rows, with the 150 ms quiet between frames and back to back,
// it reports the frames per second after the setup (first to last frame) beside the line's
// limit, and the CPU time of the GUI thread (the tab's timers, parsing, plot and waterfall
// redraws and log view) per second of capture. Medians of --repeats runs of --seconds each.
// Runs on the offscreen platform unless QT_QPA_PLATFORM says otherwise.

#include "bandscopetab.h"
#include "corvindriver.h"
#include "rxsimulator.h"
#include "testhost.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

double threadCpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

struct Result
{
    double framesPerSecond = 0.0;
    double cpuPercent = 0.0;
};

Result runOnce(int rows, bool backToBack, int seconds)
{
    RxSimulator sim;
    sim.setScopeTiming(0, 0);
    sim.setScopeNarrowRows(rows);
    sim.setWireLogKept(false);
    QString error;
    Corvindriver driver;
    if (!sim.start(&error) || !driver.openPort(sim.portPath())) {
        std::fprintf(stderr, "simulator: %s\n", qPrintable(error));
        return {};
    }
    // The receiver's scope already shows what the capture asks for: one AM confirms it.
    driver.line().write("SW7\rCF0004650000\rMF0004650000\r");
    QTest::qWait(100);

    TestHost host;
    host.receiverDriver = &driver;
    BandScopeTab tab(host);
    tab.resize(1160, 900);
    tab.show();
    tab.findChild<QWidget *>(QStringLiteral("bandScopeBackToBack"))
        ->setProperty("checked", backToBack);

    std::vector<double> frameTimes;
    double cpuAtFirst = 0.0;
    QElapsedTimer clock;
    clock.start();
    QObject::connect(&tab.capture(), &ScopeCapture::frameAdded, [&] {
        if (frameTimes.empty())
            cpuAtFirst = threadCpuSeconds();
        frameTimes.push_back(clock.nsecsElapsed() / 1e9);
    });
    tab.findChild<QPushButton *>(QStringLiteral("bandScopeRun"))->click();
    while (clock.elapsed() < 1000LL * seconds + 3500 && tab.isCapturing())
        QTest::qWait(50);
    const double cpuAtEnd = threadCpuSeconds();
    const double end = clock.nsecsElapsed() / 1e9;
    tab.capture().finish(QStringLiteral("bench over"));
    if (frameTimes.size() < 2)
        return {};
    Result result;
    result.framesPerSecond = (frameTimes.size() - 1) / (frameTimes.back() - frameTimes.front());
    result.cpuPercent = 100.0 * (cpuAtEnd - cpuAtFirst) / (end - frameTimes.front());
    return result;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Band-scope frames per second on the paced "
                                                    "simulator, and GUI-thread CPU."));
    parser.addHelpOption();
    parser.addOptions({{QStringLiteral("seconds"), QStringLiteral("Capture time per run."),
                        QStringLiteral("S"), QStringLiteral("12")},
                       {QStringLiteral("repeats"), QStringLiteral("Runs per case."),
                        QStringLiteral("N"), QStringLiteral("3")}});
    parser.process(app);
    const int seconds = std::max(3, parser.value(QStringLiteral("seconds")).toInt());
    const int repeats = std::max(1, parser.value(QStringLiteral("repeats")).toInt());

    // A row is "DS0127:" + 32 digits + CR: 40 bytes, 11 bits each at 19200 baud.
    const double byteSeconds = 11.0 / 19200.0;
    std::printf("%-6s %-13s %10s %10s %10s %12s\n", "rows", "mode", "frames/s", "line max", "share",
                "GUI CPU %");
    for (const int rows : {4, 32}) {
        for (const bool backToBack : {false, true}) {
            std::vector<double> rates;
            std::vector<double> cpu;
            for (int i = 0; i < repeats; ++i) {
                const Result result = runOnce(rows, backToBack, seconds);
                rates.push_back(result.framesPerSecond);
                cpu.push_back(result.cpuPercent);
            }
            const double limit = 1.0 / (rows * 40 * byteSeconds);
            const double rate = median(rates);
            std::printf("%-6d %-13s %10.2f %10.2f %9.0f%% %12.1f\n", rows,
                        backToBack ? "back-to-back" : "150 ms quiet", rate, limit,
                        100.0 * rate / limit, median(cpu));
            std::fflush(stdout);
        }
    }
    return 0;
}
