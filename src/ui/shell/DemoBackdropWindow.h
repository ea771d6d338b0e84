// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QWidget>

class QScreen;

namespace lumatide {

// The plain dark backdrop behind a demo scenario's dialog: it covers one whole screen, stays
// above ordinary windows and never takes the focus.
class DemoBackdropWindow final : public QWidget {
    Q_OBJECT

public:
    // Near-black dark teal (red 0.027, green 0.071, blue 0.075).
    static QColor backdropColor();

    explicit DemoBackdropWindow(QScreen& screen);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace lumatide
