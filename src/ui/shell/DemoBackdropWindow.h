// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QWidget>

class QScreen;

namespace lumatide {

class WindowSystem;

// The plain dark backdrop behind a demo scenario's dialog: it covers the usable area of one
// screen (panels and the tray stay reachable), stays above ordinary windows on every workspace
// and never takes the focus. Every other window the program opens while it is up (the
// scenario's dialog, and later ones from the menu) comes up in the same layer, above it.
class DemoBackdropWindow final : public QWidget {
    Q_OBJECT

public:
    // Near-black dark teal (red 0.027, green 0.071, blue 0.075).
    static QColor backdropColor();

    // windowSystem may be null (no workspaces to span).
    DemoBackdropWindow(QScreen& screen, WindowSystem* windowSystem);
    ~DemoBackdropWindow() override;
    DemoBackdropWindow(const DemoBackdropWindow&) = delete;
    DemoBackdropWindow& operator=(const DemoBackdropWindow&) = delete;

    void present();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    WindowSystem* windowSystem_;
    bool placed_ = false;
};

} // namespace lumatide
