#pragma once

#include "content/AppLanguage.h"
#include "content/BreakAction.h"

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
class PreferenceStore;
class WindowSystem;

// One rest panel: the full-screen window on one screen with the remaining time, the
// breathing prompt, the figure, the activity's texts and the passcode entry. The controller
// builds a new panel for every show; a hidden panel is never shown again.
class OverlayPanel final : public QObject {
    Q_OBJECT

public:
    OverlayPanel(QScreen* screen, BreakAction action, AppLanguage language,
                 const PreferenceStore& preferences, WindowSystem* windowSystem = nullptr);
    ~OverlayPanel() override;
    OverlayPanel(const OverlayPanel&) = delete;
    OverlayPanel& operator=(const OverlayPanel&) = delete;

    // Called when the passcode is accepted; it may tear this panel down.
    void setUnlockHandler(std::function<void()> handler);

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

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildView();
    void applyLayout();
    void showStep(int step);

    QScreen* screen_;
    BreakAction action_;
    AppLanguage language_;
    const PreferenceStore& preferences_;
    std::function<void()> onUnlock_;

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
