// The DSP tab's interactive views on the offscreen platform, with the result of a real
// analysis (normally of a 1-hour 48 kHz recording: see run-dsptab-bench.sh):
// - spectrogram replot and repaint at the full view and at a deep zoom (0.5 s x 200 Hz);
// - event table refresh with 5000 rows (filter off), painted;
// - a band change with "Show only events inside the selected band" on, as the user sees it.
//
//   corvin-bench-dsptab --wav FILE [benchmark options]

#include "analysisresult.h"
#include "dspinteractiveviews.h"
#include "eventstable.h"
#include "spectrogramview.h"
#include "wavanalyzer.h"

#include <QApplication>
#include <QCheckBox>
#include <QSpinBox>
#include <QTabWidget>
#include <qwt_plot_canvas.h>

#include <atomic>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

namespace {

std::shared_ptr<const NativeWav::Result> g_result;

// One set of views per benchmark, shown at the size of the tab in a 1160 px window.
struct Views
{
    DspInteractiveViews views;

    explicit Views(int page)
    {
        views.resize(1120, 620);
        views.show();
        views.populateInteractiveViews(g_result);
        views.findChild<QTabWidget *>(QStringLiteral("dspInteractiveTabs"))->setCurrentIndex(page);
        QApplication::processEvents();
    }
};

void countersFor(benchmark::State &state)
{
    std::size_t pulses = g_result->events.size();
    for (const NativeWav::PulseTrain &train : g_result->trains)
        pulses += train.events.size();
    state.counters["pulses"] = static_cast<double>(pulses);
    state.counters["rows"] = static_cast<double>(g_result->displayFrequencies.size());
    state.counters["columns"] = g_result->timeColumns;
}

void replotLoop(benchmark::State &state, SpectrogramView *plot)
{
    for (auto _ : state) {
        plot->replot();
        plot->canvas()->repaint();
    }
    state.counters["canvas_w"] = plot->canvas()->width();
    state.counters["canvas_h"] = plot->canvas()->height();
    countersFor(state);
}

void BM_SpectrogramReplotFullView(benchmark::State &state)
{
    Views v(0);
    replotLoop(state, v.views.spectrogram());
}

void BM_SpectrogramReplotDeepZoom(benchmark::State &state)
{
    Views v(0);
    SpectrogramView *plot = v.views.spectrogram();
    const double middle = g_result->durationSeconds / 2;
    plot->zoomTo(QRectF(middle, 1000.0, 0.5, 200.0));
    replotLoop(state, plot);
}

void BM_EventsTableRefresh(benchmark::State &state)
{
    Views v(3);
    EventsTable *table = v.views.events();
    for (auto _ : state) {
        v.views.refreshEventsTable();
        table->viewport()->repaint();
    }
    state.counters["table_rows"] = table->rowCount();
    countersFor(state);
}

void BM_BandChangeWithFilter(benchmark::State &state)
{
    Views v(3);
    v.views.findChild<QCheckBox *>(QStringLiteral("dspOnlyBandCB"))->setChecked(true);
    auto *high = v.views.findChild<QSpinBox *>(QStringLiteral("dspBandHighHz"));
    const int top = high->value();
    bool narrow = false;
    for (auto _ : state) {
        // Alternate between the whole band and a narrower one, so every change refills.
        narrow = !narrow;
        high->setValue(narrow ? top / 2 : top);
        v.views.events()->viewport()->repaint();
        QApplication::processEvents();
    }
    state.counters["table_rows"] = v.views.events()->rowCount();
    countersFor(state);
}

} // namespace

BENCHMARK(BM_SpectrogramReplotFullView)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SpectrogramReplotDeepZoom)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EventsTableRefresh)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BandChangeWithFilter)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    const char *wav = nullptr;
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--wav") == 0 && i + 1 < argc)
            wav = argv[++i];
        else
            argv[kept++] = argv[i];
    }
    argc = kept;
    if (!wav) {
        std::fprintf(stderr, "usage: corvin-bench-dsptab --wav FILE [benchmark options]\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    NativeWav::AnalysisRequest request;
    // The file is opened by the bytes of its name, whatever the locale.
    request.wavPath = std::filesystem::path(wav);
    const std::atomic<bool> cancel(false);
    std::fprintf(stderr, "analysing %s...\n", wav);
    g_result = std::make_shared<const NativeWav::Result>(NativeWav::analyzeWav(request, cancel));

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
