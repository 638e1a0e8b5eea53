// Paint times of the Segmora display on the offscreen platform, rendered into an image the
// way the backing store receives it:
// - a 12-position LED display 1920 px wide, with and without glow;
// - a picture style (Small red seven-segment, 9 positions) enlarged about sevenfold on a
//   device pixel ratio of 2, where the Huge images are drawn instead of the small ones;
// - the same at ratio 1 and unscaled, for comparison.

#include <Segmora/segmora.h>

#include <QApplication>
#include <QImage>

#include <benchmark/benchmark.h>

namespace {

void renderLoop(benchmark::State &state, Segmora &display, qreal pixelRatio)
{
    QImage image(display.size() * pixelRatio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(pixelRatio);
    for (auto _ : state) {
        display.render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["width_px"] = image.width();
    state.counters["height_px"] = image.height();
}

void BM_LedTwelvePositions1920(benchmark::State &state)
{
    Segmora display(QStringLiteral("############"), Segmora::Huge);
    display.setDisplayType(Segmora::Led_Vector);
    display.setSegmentGlow(state.range(0) != 0);
    display.display(QStringLiteral("-12345678.90"));
    // Eleven digit cells and a point cell: 12 + 11 x 53 + 17 = 612 units wide, 76 high, so
    // this size fills 1920 px across.
    display.resize(1920, (1920 * 76 + 611) / 612);
    renderLoop(state, display, 1.0);
}

void BM_PicturesEnlarged(benchmark::State &state)
{
    const qreal pixelRatio = qreal(state.range(0));
    const bool scaled = state.range(1) != 0;
    Segmora display(QStringLiteral("######.##"), Segmora::Small);
    display.setScaledContents(scaled);
    display.display(QStringLiteral("123456.78"));
    // 8 digits of 14 px and a point of 4: 116 x 21, shown about seven times larger.
    display.resize(scaled ? QSize(800, 145) : display.sizeHint());
    renderLoop(state, display, pixelRatio);
}

} // namespace

BENCHMARK(BM_LedTwelvePositions1920)
    ->ArgName("glow")
    ->Arg(1)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PicturesEnlarged)
    ->ArgNames({"ratio", "scaled"})
    ->Args({2, 1})
    ->Args({1, 1})
    ->Args({2, 0})
    ->Unit(benchmark::kMillisecond);

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
