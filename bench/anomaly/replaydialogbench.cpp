// corvin-bench-replaydialog WAV [REPETITIONS]: the replay dialog at "Maximum" against the replay
// runner's own loop (what `corvin-dsp replay` runs) on the same recording and settings, and how
// late a 20 ms GUI timer fires while the dialog replays. Prints one line per repetition and the
// medians: runner and dialog wall seconds, their ratio, and the timer's median, 99th-percentile
// and worst lateness. Run offscreen (QT_QPA_PLATFORM=offscreen) on an otherwise idle machine.

#include "replaydialog.h"
#include "replayrunner.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QTemporaryFile>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <exception>
#include <vector>

namespace {

constexpr int probeIntervalMs = 20;

double median(std::vector<double> values)
{
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    return values[static_cast<std::size_t>(p * static_cast<double>(values.size() - 1))];
}

// The runner alone, writing its CSV to a temporary file as the command does.
double runnerSeconds(const QString &wav)
{
    QTemporaryFile csv;
    if (!csv.open())
        throw std::runtime_error("Cannot create temporary CSV");
    QElapsedTimer clock;
    clock.start();
    ReplayRunner replay;
    replay.open(wav);
    replay.start(AnomalySettings(), 0, &csv);
    ReplayRunner::Step step;
    while (replay.step(&step)) {
    }
    csv.flush();
    return static_cast<double>(clock.nsecsElapsed()) / 1e9;
}

struct DialogRun
{
    double seconds = 0.0;
    std::vector<double> lateMs; // per probe firing
};

DialogRun dialogRun(const QString &wav)
{
    DialogRun run;
    QElapsedTimer clock;
    clock.start();
    auto runner = std::make_unique<ReplayRunner>();
    runner->open(wav);
    ReplayDialog dialog(std::move(runner), wav, AnomalySettings());
    dialog.show();
    dialog.findChild<QComboBox *>(QStringLiteral("replaySpeed"))
        ->setCurrentIndex(ReplayDialog::SpeedMaximum);

    // A GUI timer standing for the user's clicks: how late does it fire?
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    probe.setInterval(probeIntervalMs);
    QElapsedTimer since;
    QObject::connect(&probe, &QTimer::timeout, [&run, &since] {
        const double elapsed = static_cast<double>(since.nsecsElapsed()) / 1e6;
        run.lateMs.push_back(std::max(0.0, elapsed - probeIntervalMs));
        since.restart();
    });
    since.start();
    probe.start();
    dialog.start();
    while (!dialog.hasEnded())
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    run.seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
    return run;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: corvin-bench-replaydialog WAV [REPETITIONS]\n");
        return 2;
    }
    const QString wav = QString::fromLocal8Bit(argv[1]);
    const int repetitions = argc > 2 ? std::max(1, atoi(argv[2])) : 5;
    std::vector<double> runner, dialog, ratio, lateMedian, late99, lateWorst;
    try {
        for (int r = 0; r < repetitions; ++r) {
            runner.push_back(runnerSeconds(wav));
            const DialogRun run = dialogRun(wav);
            dialog.push_back(run.seconds);
            ratio.push_back(run.seconds / runner.back());
            lateMedian.push_back(median(run.lateMs));
            late99.push_back(percentile(run.lateMs, 0.99));
            lateWorst.push_back(percentile(run.lateMs, 1.0));
            std::printf("run %d: runner %.2f s, dialog %.2f s, ratio %.3f, timer late median "
                        "%.1f ms, p99 %.1f ms, worst %.1f ms\n",
                        r + 1, runner.back(), dialog.back(), ratio.back(), lateMedian.back(),
                        late99.back(), lateWorst.back());
        }
    } catch (const std::exception &e) {
        std::fprintf(stderr, "error: %s\n", e.what());
        return 1;
    }
    std::printf("median: runner %.2f s, dialog %.2f s, ratio %.3f, timer late median %.1f ms, "
                "p99 %.1f ms, worst %.1f ms\n",
                median(runner), median(dialog), median(ratio), median(lateMedian), median(late99),
                median(lateWorst));
    return 0;
}
