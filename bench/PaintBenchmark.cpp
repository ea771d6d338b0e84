// SPDX-License-Identifier: GPL-3.0-or-later
// One frame of each thing a rest panel repaints on a timer, drawn into an off-screen image:
//   build/<dir>/bench/lumatide_paint_bench --benchmark_repetitions=5
//       --benchmark_report_aggregates_only=true   (one line)
// The background runs: as the panels paint it (rows of runs written into the screen's image, a
// whole repaint and a frame of glows), through Qt's painter with one gradient per glow (the
// reference picture), and with 36 translucent ellipses per glow, the way the glows were first
// drawn. The pose sheet
// is timed drawn from scratch, with only the cells a new step changes redrawn (what a step
// costs), and copied from the kept drawing with the float (what every other frame costs).

#include "content/ActionKind.h"
#include "content/AppLanguage.h"
#include "content/RestPanelDesign.h"
#include "dialogs/AlertIcon.h"
#include "overlay/BackgroundDamage.h"
#include "overlay/BackgroundPainter.h"
#include "overlay/BackgroundRaster.h"
#include "overlay/BearPainter.h"
#include "overlay/PoseSheetCache.h"
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

// A whole repaint as the panel does it: rows of runs written straight into the screen's image.
void backgroundFrameRows(benchmark::State& state) {
    const int width = static_cast<int>(state.range(0));
    const int height = static_cast<int>(state.range(1));
    QImage target(width, height, QImage::Format_RGB32);
    const QRectF bounds(0, 0, width, height);
    double seconds = 0.0;
    for (auto _ : state) {
        BackgroundRaster(bounds, 1.0, seconds).paint(target, 0, target.rect());
        benchmark::DoNotOptimize(target.constBits());
        seconds += backgroundAnimationFrameRate;
    }
}

// A frame between whole repaints, as the panel paints it: the glows where they were and where
// they are, strip by strip.
void backgroundGlowFrame(benchmark::State& state) {
    const int width = static_cast<int>(state.range(0));
    const int height = static_cast<int>(state.range(1));
    QImage target(width, height, QImage::Format_RGB32);
    const QRectF bounds(0, 0, width, height);
    double seconds = 0.0;
    for (auto _ : state) {
        const double before = seconds;
        seconds += backgroundAnimationFrameRate;
        const QRegion region = glowRegion(backgroundSceneAt(bounds, seconds),
                                          backgroundSceneAt(bounds, before), bounds);
        const BackgroundRaster raster(bounds, 1.0, seconds);
        for (const QRect& rect : region) {
            raster.paint(target, 0, rect);
        }
        benchmark::DoNotOptimize(target.constBits());
    }
}

void backgroundFrame(benchmark::State& state) {
    paintBackgroundFrames(state, GlowRendering::radialGradient);
}

void backgroundFrameStackedGlow(benchmark::State& state) {
    paintBackgroundFrames(state, GlowRendering::stackedEllipses);
}

// The figure of a screen of the given size, as the panel sizes it.
QSizeF figureSize(const benchmark::State& state) {
    return {std::min(figureWidthRatio * static_cast<double>(state.range(0)), figureMaxWidth),
            std::min(figureHeightRatio * static_cast<double>(state.range(1)), figureMaxHeight)};
}

QImage figureTarget(QSizeF size) {
    return QImage(static_cast<int>(size.width() + 1), static_cast<int>(size.height() + 1),
                  QImage::Format_ARGB32_Premultiplied);
}

// Every frame drawn from scratch: the cost of a new step.
void poseSheetFrame(benchmark::State& state) {
    const QSizeF size = figureSize(state);
    QImage target = figureTarget(size);
    double seconds = 0.0;
    for (auto _ : state) {
        target.fill(Qt::transparent);
        QPainter painter(&target);
        paintPoseSheet(painter, QRectF(QPointF(0, 0), size), ActionKind::taiChi,
                       AppLanguage::english, seconds);
        painter.end();
        benchmark::DoNotOptimize(target.constBits());
        seconds += figureAnimationFrameRate;
    }
}

// A new step: the kept sheet redraws the cells whose emphasis changed.
void poseSheetStep(benchmark::State& state) {
    const QSizeF size = figureSize(state);
    QImage target = figureTarget(size);
    PoseSheetCache cache;
    double seconds = 0.5;
    for (auto _ : state) {
        target.fill(Qt::darkCyan);
        QPainter painter(&target);
        cache.paint(painter, QRectF(QPointF(0, 0), size), ActionKind::taiChi, AppLanguage::english,
                    seconds, 0.0);
        painter.end();
        benchmark::DoNotOptimize(target.constBits());
        seconds += motionStepDuration;
    }
    if (cache.renderCount() != 1) {
        state.SkipWithError("the whole sheet was drawn again for a step");
    }
}

// A frame within a step: the kept sheet copied with the float, over an opaque backdrop as on
// a panel. The sheet is drawn once, before the timing.
void poseSheetFrameKept(benchmark::State& state) {
    const QSizeF size = figureSize(state);
    QImage target = figureTarget(size);
    target.fill(Qt::darkCyan);
    PoseSheetCache cache;
    double seconds = 0.5;
    for (auto _ : state) {
        QPainter painter(&target);
        cache.paint(painter, QRectF(QPointF(0, 0), size), ActionKind::taiChi, AppLanguage::english,
                    0.5, figureFloatOffset(seconds));
        painter.end();
        benchmark::DoNotOptimize(target.constBits());
        seconds += figureAnimationFrameRate;
    }
    if (cache.renderCount() != 1) {
        state.SkipWithError("the sheet was drawn again within a step");
    }
}

// One bear of a cell on a 1920 x 1080 screen's sheet (four cells across).
void bearFigure(benchmark::State& state) {
    QImage target(340, 300, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        target.fill(Qt::transparent);
        QPainter painter(&target);
        painter.setRenderHint(QPainter::Antialiasing);
        paintBear(painter, QRectF(0, 0, 340, 300), ActionKind::taiChi, 3.0 / 7.0, true, false);
        painter.end();
        benchmark::DoNotOptimize(target.constBits());
    }
}

void alertIcon(benchmark::State& state) {
    const qreal ratio = static_cast<qreal>(state.range(0));
    for (auto _ : state) {
        const QPixmap icon = makeAlertIcon(AlertKind::passcode, ratio);
        benchmark::DoNotOptimize(icon.cacheKey());
    }
}

} // namespace

BENCHMARK(backgroundFrameRows)
    ->Args({1920, 1080})
    ->Args({3840, 2160})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime();
BENCHMARK(backgroundGlowFrame)
    ->Args({1920, 1080})
    ->Args({3840, 2160})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime();
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
BENCHMARK(poseSheetStep)
    ->Args({1920, 1080})
    ->Args({3840, 2160})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime();
BENCHMARK(poseSheetFrameKept)
    ->Args({1920, 1080})
    ->Args({3840, 2160})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime();
BENCHMARK(bearFigure)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime();
BENCHMARK(alertIcon)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime();

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv); // fonts for the sheet's texts, pixmaps for the icon
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
