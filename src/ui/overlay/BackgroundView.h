// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "overlay/BackgroundPainter.h"

#include <QElapsedTimer>
#include <QImage>
#include <QWidget>

class QTimer;

namespace lumatide {

// The root content widget of a rest panel: the slowly moving eye-care background, repainted 20
// times a second while shown. The motion is anchored when the view is created, so panels made
// together move in step. It paints only itself; the panel adds its other widgets on top.
//
// Each frame repaints what moves: the two glows, where they were and where they are now, as far
// as they show. The gradient brightens and dims so slowly (a third of a colour level a second at
// most) that the whole view is repainted only once a second, which keeps every pixel within a
// fraction of a level of the picture of the moment at a fraction of the cost.
class BackgroundView final : public QWidget {
    Q_OBJECT

public:
    // Every this many frames the whole view is repainted: the gradient's share of the motion.
    static constexpr int framesPerWholeRepaint = 20;

    explicit BackgroundView(QWidget* parent = nullptr);
    ~BackgroundView() override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void advance();
    double elapsedSeconds() const;

    QElapsedTimer created_;
    double frameSeconds_ = 0.0; // the instant the current frame shows
    WaveLineImage wave_;        // drawn again only when the size or pixel density changes
    QImage band_;               // a band of rows of the frame being painted
    int framesSinceWhole_ = 0;
    QTimer* timer_; // child of the view
};

} // namespace lumatide
