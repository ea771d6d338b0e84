// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "content/ActionKind.h"
#include "content/AppLanguage.h"
#include "overlay/PoseSheetCache.h"

#include <QElapsedTimer>
#include <QWidget>
#include <functional>

class QTimer;

namespace lumatide {

// The animated pose sheet in the middle of a rest panel. The step loop is anchored when the view
// is created and runs on a monotonic clock; while the view is shown a timer redraws it 30 times
// a second, reports each change of step to the owner and repaints when the picture changed: the
// step, or the float by a whole device pixel.
class FigureView final : public QWidget {
    Q_OBJECT

public:
    // Seconds since the start of the step loop.
    using ElapsedSource = std::function<double()>;

    explicit FigureView(QWidget* parent = nullptr);
    // With a time source of its own (tests drive the step loop by hand with it).
    FigureView(ElapsedSource elapsed, QWidget* parent);
    ~FigureView() override;

    void setKind(ActionKind kind);
    ActionKind kind() const { return kind_; }
    void setLanguage(AppLanguage language);
    AppLanguage language() const { return language_; }
    // Called with the new step index whenever it changes. The callback may tear the view down.
    void setOnStepChange(std::function<void(int)> onStepChange);
    // Called on every tick of the redraw timer while the view is shown: other things on the
    // panel that change 30 times a second share the timer, and the program wakes once for all.
    void setOnTick(std::function<void()> onTick);
    int stepIndex() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    // Reports the current step if it changed; false when the callback destroyed the view.
    bool notifyStep();
    void tick();
    double elapsedSeconds() const;
    double floatOffset() const;

    ActionKind kind_ = ActionKind::drink;
    AppLanguage language_;
    std::function<void(int)> onStepChange_;
    std::function<void()> onTick_;
    int lastNotifiedStep_ = -1;
    bool notificationPosted_ = false;
    QElapsedTimer created_;
    ElapsedSource elapsed_;
    QElapsedTimer shown_; // origin of the float, restarted whenever the view is shown
    QTimer* timer_;       // child of the view
    PoseSheetCache sheet_;
    int paintedStep_ = -1;
    double paintedOffset_ = 0.0;
};

} // namespace lumatide
