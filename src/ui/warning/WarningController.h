// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cycle/WarningSurface.h"
#include "warning/WarningToast.h"

#include <QObject>
#include <QTimer>
#include <memory>
#include <vector>

namespace lumatide {

class ScreenLayers;
class WindowSystem;

// The countdown toasts before a break: one per screen, counting down once a second, removed
// when the count runs out or on hide(). Where the compositor offers screen layers the toasts
// are drawn into them, one per output, above every window; elsewhere they are windows of their
// own. The two timers are children named "countdownTimer" and "hideTimer".
class WarningController final : public QObject, public WarningSurface {
    Q_OBJECT

public:
    // The window system, when given, tells whether the toasts can have see-through corners.
    explicit WarningController(WindowSystem* windowSystem = nullptr, ScreenLayers* layers = nullptr,
                               QObject* parent = nullptr);
    ~WarningController() override;

    WarningController(const WarningController&) = delete;
    WarningController& operator=(const WarningController&) = delete;

    // Replaces any shown warning with new toasts counting down from the seconds (at least 1).
    void show(std::int64_t remainingSeconds, AppLanguage language) override;
    // Stops both timers and removes every toast; harmless when nothing is shown.
    void hide() override;

    // The toasts on screen, in the order of the screens.
    std::vector<WarningToast*> toasts() const;
    std::int64_t remainingSeconds() const { return remainingSeconds_; }

private:
    void countdownTick();
    void drawIntoLayers();

    WindowSystem* windowSystem_;
    ScreenLayers* layers_;
    bool inLayers_ = false;
    std::vector<std::unique_ptr<WarningToast>> toasts_;
    QTimer* hideTimer_;
    QTimer* countdownTimer_;
    std::int64_t remainingSeconds_ = 0;
};

} // namespace lumatide
