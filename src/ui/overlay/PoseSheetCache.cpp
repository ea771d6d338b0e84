// SPDX-License-Identifier: GPL-3.0-or-later
#include "overlay/PoseSheetCache.h"

#include "content/RestPanelDesign.h"
#include "overlay/BandedPainting.h"
#include "overlay/PoseSheetPainter.h"

#include <QPaintDevice>
#include <QPainter>
#include <QRectF>
#include <cmath>
#include <cstddef>
#include <sys/mman.h>

namespace lumatide {

namespace {

struct Mapping {
    void* address;
    std::size_t length;
};

void unmapImage(void* info) {
    const auto* mapping = static_cast<Mapping*>(info);
    munmap(mapping->address, mapping->length);
    delete mapping;
}

// An image whose pixels are mapped straight from the system, so that its megabytes go back the
// moment the panel closes. Through malloc they would not: glibc raises its mmap threshold after
// the first such block is freed, later ones land in the heap, and over dozens of rests the heap
// grew by several megabytes.
QImage mappedImage(int width, int height) {
    const auto bytesPerLine = static_cast<std::size_t>(width) * 4;
    const std::size_t length = bytesPerLine * static_cast<std::size_t>(height);
    void* address =
        mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (address == MAP_FAILED) {
        return QImage(width, height, QImage::Format_ARGB32_Premultiplied);
    }
    return QImage(static_cast<uchar*>(address), width, height, static_cast<qsizetype>(bytesPerLine),
                  QImage::Format_ARGB32_Premultiplied, &unmapImage, new Mapping{address, length});
}

} // namespace

double snappedFloatOffset(double offset, double devicePixelRatio) {
    const double ratio = devicePixelRatio > 0.0 ? devicePixelRatio : 1.0;
    return std::round(offset * ratio) / ratio;
}

void PoseSheetCache::paint(QPainter& painter, const QRectF& bounds, ActionKind kind,
                           AppLanguage language, double elapsedSeconds, double floatOffset) {
    const QPaintDevice* device = painter.device();
    const double ratio = device != nullptr ? device->devicePixelRatioF() : 1.0;
    const int step = poseStepIndex(elapsedSeconds);
    const bool sameSheet = !image_.isNull() && size_ == bounds.size() && ratio_ == ratio &&
                           kind_ == kind && language_ == language;
    if (sameSheet && step_ != step) {
        redrawCells(bounds, step);
    } else if (!sameSheet) {
        const int width = static_cast<int>(std::ceil(bounds.width() * ratio));
        const int height = static_cast<int>(std::ceil(bounds.height() * ratio));
        if (width <= 0 || height <= 0) {
            return;
        }
        // Reuse the buffer while the size stays: a new step needs no new allocation.
        if (image_.width() != width || image_.height() != height) {
            image_ = QImage(); // the old pixels go before the new ones are mapped
            image_ = mappedImage(width, height);
        }
        image_.setDevicePixelRatio(ratio);
        image_.fill(Qt::transparent);
        QPainter sheet(&image_);
        sheet.translate(-bounds.topLeft());
        paintPoseSheet(sheet, bounds, kind, language, elapsedSeconds);
        sheet.end();
        size_ = bounds.size();
        ratio_ = ratio;
        kind_ = kind;
        language_ = language;
        step_ = step;
        ++renders_;
    }
    // Up on the screen is towards smaller y.
    drawImageInBands(painter,
                     QPointF(bounds.left(), bounds.top() - snappedFloatOffset(floatOffset, ratio)),
                     image_);
}

void PoseSheetCache::redrawCells(const QRectF& bounds, int step) {
    // A new step changes the look of three cells at most (the one that was current, the one
    // that was next and the new next); the rest of the sheet stays as drawn.
    const PoseSheetLayout layout = poseSheetLayout(bounds);
    QPainter sheet(&image_);
    sheet.translate(-bounds.topLeft());
    for (int i = 0; i < poseSheetCellCount; ++i) {
        if (poseCellEmphasis(i, step) == poseCellEmphasis(i, step_)) {
            continue;
        }
        const QRectF area = poseCellArea(layout, i);
        sheet.save();
        sheet.setClipRect(area);
        sheet.setCompositionMode(QPainter::CompositionMode_Clear);
        sheet.fillRect(area, Qt::transparent);
        sheet.setCompositionMode(QPainter::CompositionMode_SourceOver);
        paintPoseSheetCell(sheet, layout, i, kind_, language_, step);
        sheet.restore();
    }
    step_ = step;
    ++cellRedraws_;
}

} // namespace lumatide
