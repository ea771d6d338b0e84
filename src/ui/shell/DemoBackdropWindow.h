// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QWidget>

class QScreen;

namespace lumatide {

class WindowSystem;

// The plain dark backdrop behind a demo scenario's dialog: it covers the usable area of one
// screen and comes up, as every new window does, above the windows open at the time, on every
// workspace; it never takes the focus. It stays in the layer of ordinary windows, under the
// desktop's panels and the tray, and is never raised on purpose (a raise could reach the window
// manager after the dialog's map and cover it): every window the program opens later comes up
// above it, as does a window the user brings forward.
class DemoBackdropWindow final : public QWidget {
    Q_OBJECT

public:
    // Near-black dark teal (red 0.027, green 0.071, blue 0.075).
    static QColor backdropColor();

    // windowSystem may be null (no workspaces to span).
    DemoBackdropWindow(QScreen& screen, WindowSystem* windowSystem);

    // Shows it, on every workspace.
    void present();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    WindowSystem* windowSystem_;
};

} // namespace lumatide
