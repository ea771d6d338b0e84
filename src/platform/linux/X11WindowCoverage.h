// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "linux/ActiveWindowCoverage.h"

#include <QByteArray>
#include <QList>
#include <QSize>
#include <memory>
#include <optional>

namespace lumatide {

class X11Display;

// Whether the active window of an X11 session covers a screen: it is full screen
// (_NET_WM_STATE_FULLSCREEN) or its frame is at least 96 % as wide and 90 % as high as one of
// the monitors. Windows of this process (by _NET_WM_PID), the desktop and docks never count, nor
// does anything when there is no window manager or no active window.
class X11WindowCoverage final : public ActiveWindowCoverage {
public:
    // Nothing when the display cannot be opened (an empty name means $DISPLAY).
    static std::unique_ptr<X11WindowCoverage> open(const QByteArray& displayName = {});

    ~X11WindowCoverage();
    X11WindowCoverage(const X11WindowCoverage&) = delete;
    X11WindowCoverage& operator=(const X11WindowCoverage&) = delete;

    bool activeWindowCoversScreen() const override;

    // The monitor sizes (RandR monitors; the root window when there are none).
    QList<QSize> screenSizes() const;

private:
    struct Atoms;

    X11WindowCoverage(std::unique_ptr<X11Display> display, std::unique_ptr<Atoms> atoms);

    std::optional<unsigned long> activeWindow() const;
    std::optional<unsigned long> cardinalProperty(unsigned long window, unsigned long atom) const;
    bool hasFullScreenState(unsigned long window) const;
    bool isDesktopOrDock(unsigned long window) const;
    std::optional<QSize> frameSize(unsigned long window) const;

    std::unique_ptr<X11Display> display_;
    std::unique_ptr<Atoms> atoms_;
};

} // namespace lumatide
