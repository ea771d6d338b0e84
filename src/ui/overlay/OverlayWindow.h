// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace lumatide {

class WindowSystem;

// The borderless, opaque top-level window of one rest panel: it covers its screen's full
// geometry, stays above every other window (full-screen ones included) and on every
// workspace without asking the window manager, and ignores close requests. Once a second it
// puts itself back (place, size, mapping, shape, parent) should another program have changed
// it, and raises itself again in case another window was stacked above it.
class OverlayWindow final : public QWidget {
    Q_OBJECT

public:
    // The window system, when given, puts the window back after another program moved,
    // resized, unmapped, reshaped or reparented it. An off-screen window is never put on the
    // display: its owner draws it somewhere else (a compositor's layer) and sizes it.
    // How the window is put on the display: above the window manager, raised and given the
    // keyboard by the program itself (X11); as a full-screen window the window manager keeps
    // on top and is asked to give the keyboard back (a Wayland desktop without layers, where
    // only the compositor moves its keyboard); or never (drawn into a compositor's layer).
    enum class Placement { aboveManager, managed, offScreen };

    OverlayWindow(QScreen* screen, WindowSystem* windowSystem,
                  Placement placement = Placement::aboveManager);
    Placement placement() const { return placement_; }

    // Called when the window turns out to have been destroyed by another program; the owner
    // then builds a new one (later, from the event loop: this window may be deleted with it).
    void setOnLost(std::function<void()> onLost);

    // Puts the window back where and as it belongs, stacks it on top again and, when the
    // keyboard is grabbed by one of its children, asks the display for the grab again (a menu or
    // another program may have taken it meanwhile).
    void reassertPosition();
    // Asks the window manager to give this (managed) window the keyboard again.
    void takeFocusBack();

    // Only puts the window back (parent, place, size, shape, mapping), with no request at all
    // when nothing differs: the answer to the window's own change notifications, which a raise
    // would answer with another notification, and so on for ever. False when the window was
    // destroyed (the owner has been told).
    bool restorePosition();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QPointer<QScreen> screen_;
    WindowSystem* windowSystem_;
    std::function<void()> onLost_;
    Placement placement_;
    QTimer raiseTimer_;
};

} // namespace lumatide
