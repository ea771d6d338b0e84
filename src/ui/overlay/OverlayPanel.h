// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "content/AppLanguage.h"
#include "content/BreakAction.h"
#include "overlay/OverlayWindow.h"

#include <QObject>
#include <cstdint>
#include <functional>
#include <memory>

class QLabel;
class QLineEdit;
class QPushButton;
class QScreen;
class QWidget;

namespace lumatide {

class BackgroundView;
class FigureView;
class OverlayWindow;
class WindowSystem;

// One rest panel: the full-screen window on one screen with the remaining time, the
// breathing prompt, the figure, the activity's texts and the passcode entry. The controller
// builds a new panel for every show; a hidden panel is never shown again.
class OverlayPanel final : public QObject {
    Q_OBJECT

public:
    // Every panel of one rest shares the step clock: seconds since the rest began, so that all
    // screens show the same step, and a panel built anew goes on where the old one was.
    // An off-screen panel (no screen) is drawn by its owner wherever the desktop shows it; the
    // owner sizes its window and feeds it the keys and clicks.
    OverlayPanel(QScreen* screen, BreakAction action, AppLanguage language, QString passcode,
                 std::function<double()> stepClock, WindowSystem* windowSystem = nullptr,
                 OverlayWindow::Placement placement = OverlayWindow::Placement::aboveManager);
    ~OverlayPanel() override;
    OverlayPanel(const OverlayPanel&) = delete;
    OverlayPanel& operator=(const OverlayPanel&) = delete;

    // Called when the passcode is accepted; it may tear this panel down.
    void setUnlockHandler(std::function<void()> handler);
    // Called when the field is clicked, instead of taking the keyboard: the owner of an
    // off-screen panel moves the typing here itself.
    void setOnFieldPressed(std::function<void()> handler);

    // Puts the window up and starts the breathing prompt.
    void show();
    // Stops the breathing prompt and takes the window down.
    void hide();
    // The remaining rest time, then a fresh breathing prompt.
    void update(std::int64_t seconds);
    void updateBreathingText();
    // The unlock test, sent by Return in the passcode field and by the unlock button.
    void check();
    // Routes all typing into this panel's passcode field, whatever window has focus.
    void takeKeyboard();

    QScreen* screen() const { return screen_; }
    OverlayWindow* window() const { return window_.get(); }
    QLineEdit* field() const { return field_; }
    // What is typed in the field, carried over when the panels are built anew.
    QString typedText() const;
    void setTypedText(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildView(std::function<double()> stepClock);
    void applyLayout();
    void showStep(int step);

    QScreen* screen_;
    BreakAction action_;
    AppLanguage language_;
    // Compared exactly: what was typed is not trimmed.
    QString passcode_;
    std::function<void()> onUnlock_;
    std::function<void()> onFieldPressed_;
    OverlayWindow::Placement placement_;

    std::unique_ptr<OverlayWindow> window_;
    // Children of the window, owned by it.
    BackgroundView* root_ = nullptr;
    QLabel* timeLabel_ = nullptr;
    QLabel* breathLabel_ = nullptr;
    FigureView* figure_ = nullptr;
    QLabel* titleLabel_ = nullptr;
    QLabel* instructionLabel_ = nullptr;
    QLabel* cautionLabel_ = nullptr;
    QLineEdit* field_ = nullptr;
    QLabel* messageLabel_ = nullptr;
    QPushButton* unlockButton_ = nullptr;

    int breathPixelSize_ = 0;
};

} // namespace lumatide
