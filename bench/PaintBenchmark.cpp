// One frame of each thing a rest panel repaints on a timer, drawn into an off-screen image:
//   build/<dir>/bench/lumatide_paint_bench --benchmark_repetitions=5
//       --benchmark_report_aggregates_only=true   (one line)
// The stacked-glow runs paint the background with 36 translucent ellipses per glow, the way the
// glows were first drawn; the others with the one-gradient glow the panels use.

#include "app/Constants.h"
#include "content/ActionKind.h"
#include "content/AppLanguage.h"
#include "overlay/BackgroundPainter.h"
#include "overlay/PoseSheetPainter.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <benchmark/benchmark.h>

using namespace lumatide;

namespace {

void paintBackgroundFrames(benchmark::State& state, GlowRendering rendering) {
    const int width = static_cast<int>(state.range(0));
    const int height = static_cast<int>(state.range(1));
    QImage target(width, height, QImage::Format_ARGB32_Premultiplied);
    double seconds = 0.0;
    for (auto _ : state) {
        QPainter painter(&target);
        paintBackground(painter, QRectF(0, 0, width, height), seconds, rendering);
        painter.end();
        benchmark::DoNotOptimize(target.constBits());
        seconds += backgroundAnimationFrameRate;
    }
}

void backgroundFrame(benchmark::State& state) {
    paintBackgroundFrames(state, GlowRendering::radialGradient);
}

void backgroundFrameStackedGlow(benchmark::State& state) {
    paintBackgroundFrames(state, GlowRendering::stackedEllipses);
}

// The figure of a screen of the given size, as the panel sizes it.
void poseSheetFrame(benchmark::State& state) {
    const double width =
        std::min(figureWidthRatio * static_cast<double>(state.range(0)), figureMaxWidth);
    const double height =
        std::min(figureHeightRatio * static_cast<double>(state.range(1)), figureMaxHeight);
    QImage target(static_cast<int>(width + 1), static_cast<int>(height + 1),
                  QImage::Format_ARGB32_Premultiplied);
    double seconds = 0.0;
    for (auto _ : state) {
        target.fill(Qt::transparent);
        QPainter painter(&target);
        paintPoseSheet(painter, QRectF(0, 0, width, height), ActionKind::taiChi,
                       AppLanguage::english, seconds);
        painter.end();
        benchmark::DoNotOptimize(target.constBits());
        seconds += figureAnimationFrameRate;
    }
}

} // namespace

BENCHMARK(backgroundFrame)
    ->Args({1920, 1080})
    ->Args({3840, 2160})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime();
BENCHMARK(backgroundFrameStackedGlow)
    ->Args({1920, 1080})
    ->Args({3840, 2160})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime();
BENCHMARK(poseSheetFrame)
    ->Args({1920, 1080})
    ->Args({3840, 2160})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime();

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv); // fonts for the sheet's texts
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
