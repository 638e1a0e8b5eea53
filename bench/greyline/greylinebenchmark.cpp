// The Greyline page's costs: planning one UTC day (2 880 sun positions and elevations),
// shading one 900 x 450 map, and repainting the map widget at 1920 x 1080, once only copying
// the cached scaled map (markers on top) and once after a new shading, which scales it afresh.
// Runs on the offscreen platform unless QT_QPA_PLATFORM says otherwise.

#include "greylineplanner.h"
#include "greylineshading.h"
#include "greymap.h"

#include <QApplication>
#include <QDate>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

using namespace Greyline;

namespace {

void BM_PlanOneDay(benchmark::State &state)
{
    const double day0 = dayZero(QDate(2024, 6, 21));
    for (auto _ : state) {
        const GreylinePlan plan =
            planGreylineDay(day0, {41.9, 12.5}, true, {40.7, -74.0}, true, -6.0, 3.0);
        benchmark::DoNotOptimize(plan.bestScore);
    }
}

void BM_ShadeMap(benchmark::State &state)
{
    GreylineShading shading{QImage(worldMapResource)};
    double minute = 0.0;
    for (auto _ : state) {
        // A new minute every time, so every call shades afresh.
        minute += 1.0;
        shading.updateShading(sunPosition(dayZero(QDate(2024, 6, 21)), minute), -6.0, 3.0);
        benchmark::DoNotOptimize(shading.image().constBits());
    }
}

void repaint(benchmark::State &state, bool newShading)
{
    GreyMap map;
    map.resize(1920, 1080);
    map.setRxMarker(true, 41.9, 12.5);
    map.setDxMarker(true, 40.7, -74.0);
    const double day0 = dayZero(QDate(2024, 6, 21));
    map.updateShading(sunPosition(day0, 720.0), -6.0, 3.0);
    QImage target(map.size(), QImage::Format_RGB32);
    map.render(&target);
    double minute = 720.0;
    for (auto _ : state) {
        if (newShading) {
            state.PauseTiming();
            minute += 1.0;
            map.updateShading(sunPosition(day0, minute), -6.0, 3.0);
            state.ResumeTiming();
        }
        map.render(&target);
        benchmark::DoNotOptimize(target.constBits());
    }
}

void BM_RepaintCached(benchmark::State &state)
{
    repaint(state, false);
}

void BM_RepaintAfterNewShading(benchmark::State &state)
{
    repaint(state, true);
}

} // namespace

BENCHMARK(BM_PlanOneDay)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ShadeMap)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RepaintCached)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RepaintAfterNewShading)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
