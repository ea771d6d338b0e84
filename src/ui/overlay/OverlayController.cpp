// SPDX-License-Identifier: GPL-3.0-or-later
#include "overlay/OverlayController.h"

#include "common/MainScreen.h"
#include "overlay/LayerPanel.h"
#include "overlay/OverlayPanel.h"
#include "overlay/OverlayWindow.h"
#include "prefs/Passcode.h"
#include "system/WindowSystem.h"

#include <QApplication>
#include <QPixmapCache>
#include <QScreen>
#include <QWindow>

namespace lumatide {

namespace {

// Long enough for the focus to pass from one panel to another, short enough that few keys
// typed meanwhile go astray.
constexpr int focusCheckDelayMs = 100;

} // namespace

OverlayController::OverlayController(const PreferenceStore& preferences, WindowSystem* windowSystem,
                                     PanelLayers* layers, QObject* parent)
    : QObject(parent), preferences_(preferences), windowSystem_(windowSystem), layers_(layers) {
    rebuildTimer_.setSingleShot(true);
    rebuildTimer_.setInterval(0);
    connect(&rebuildTimer_, &QTimer::timeout, this, &OverlayController::rebuild);
    repairTimer_.setSingleShot(true);
    repairTimer_.setInterval(0);
    connect(&repairTimer_, &QTimer::timeout, this, [this] {
        for (const auto& panel : panels_) {
            panel->window()->restorePosition();
        }
    });
    // Managed panels whose keyboard went to another program's window ask for it back soon,
    // not at their next raise. A moment later: the focus passes through no window at all
    // while it moves from one panel to another, which is not a loss.
    focusCheck_.setSingleShot(true);
    focusCheck_.setInterval(focusCheckDelayMs);
    connect(&focusCheck_, &QTimer::timeout, this, &OverlayController::takeFocusBack);
    connect(qGuiApp, &QGuiApplication::focusWindowChanged, this, [this] {
        if (managedWindows_ && !panels_.empty() && layerPanels_.empty()) {
            focusCheck_.start();
        }
    });
    connect(qGuiApp, &QGuiApplication::screenAdded, this, [this](QScreen* screen) {
        watchScreen(screen);
        if (isShowing()) {
            rebuildTimer_.start();
        }
    });
    connect(qGuiApp, &QGuiApplication::screenRemoved, this, [this](QScreen*) {
        if (isShowing()) {
            rebuildTimer_.start();
        }
    });
    for (QScreen* screen : QGuiApplication::screens()) {
        watchScreen(screen);
    }
}

OverlayController::~OverlayController() {
    if (windowSystem_ != nullptr) {
        windowSystem_->stopWatchingWindows();
    }
    // No check can be running while the controller itself goes away: release at once.
    if (layers_ != nullptr) {
        layers_->closePanels();
    }
    layerPanels_.clear();
    for (const auto& panel : panels_) {
        panel->hide();
    }
    panels_.clear();
}

void OverlayController::watchScreen(QScreen* screen) {
    connect(screen, &QScreen::geometryChanged, this, [this] {
        if (isShowing()) {
            rebuildTimer_.start();
        }
    });
}

void OverlayController::show(const BreakAction& action, AppLanguage language) {
    hide();
    // Remembered even with no screen at all, so a screen that turns up during the rest is
    // covered by the rebuild. The passcode is read once: a check never waits for the disk.
    shown_ = Shown{action, language, std::nullopt, currentPasscode(preferences_)};
    restStarted_.start();
    buildPanels(QString());
}

bool OverlayController::buildLayerPanels(const QString& typed) {
    const int count = layers_ != nullptr ? layers_->openPanels(this) : 0;
    if (count <= 0) {
        return false;
    }
    if (windowSystem_ != nullptr) {
        windowSystem_->stopWatchingWindows();
    }
    const auto stepClock = [started = restStarted_] {
        return static_cast<double>(started.nsecsElapsed()) / 1e9;
    };
    for (int index = 0; index < count; ++index) {
        auto panel = std::make_unique<OverlayPanel>(nullptr, shown_->action, shown_->language,
                                                    shown_->passcode, stepClock, nullptr,
                                                    OverlayWindow::Placement::offScreen);
        panel->setUnlockHandler(onUnlock_);
        const auto position = static_cast<std::size_t>(index);
        panel->setOnFieldPressed([this, position] { moveKeyboardTo(position); });
        layerPanels_.push_back(std::make_unique<LayerPanel>(index, *layers_, *panel));
        panel->show();
        panels_.push_back(std::move(panel));
    }
    // The compositor gives the keyboard to the first output's panel until another is clicked.
    keyboardPanel_ = 0;
    panels_.front()->setTypedText(typed);
    // The field that gets the keys shows its focus ring and cursor, as in a window of its own.
    QApplication::setActiveWindow(panels_.front()->window());
    return true;
}

void OverlayController::moveKeyboardTo(std::size_t index) {
    if (index >= panels_.size() || index == keyboardPanel_) {
        return;
    }
    // One field holds the typing: what was typed moves with it.
    const QString typed = panels_[keyboardPanel_]->typedText();
    panels_[keyboardPanel_]->setTypedText(QString());
    panels_[index]->setTypedText(typed);
    keyboardPanel_ = index;
    layers_->setKeyboardPanel(static_cast<int>(index));
    QApplication::setActiveWindow(panels_[index]->window());
}

void OverlayController::panelConfigured(int panel, QSize logicalSize, qreal scale) {
    if (panel >= 0 && static_cast<std::size_t>(panel) < layerPanels_.size()) {
        layerPanels_[static_cast<std::size_t>(panel)]->configure(logicalSize, scale);
    }
}

void OverlayController::panelReady(int panel) {
    if (panel >= 0 && static_cast<std::size_t>(panel) < layerPanels_.size()) {
        layerPanels_[static_cast<std::size_t>(panel)]->flush();
    }
}

void OverlayController::panelKey(int panel, const LayerKey& key) {
    if (panel >= 0 && static_cast<std::size_t>(panel) < layerPanels_.size()) {
        layerPanels_[static_cast<std::size_t>(panel)]->key(key);
    }
}

void OverlayController::panelPointer(int panel, const LayerPointer& pointer) {
    if (panel >= 0 && static_cast<std::size_t>(panel) < layerPanels_.size()) {
        layerPanels_[static_cast<std::size_t>(panel)]->pointer(pointer);
    }
}

void OverlayController::outputsChanged() {
    if (isShowing()) {
        rebuildTimer_.start();
    }
}

void OverlayController::buildPanels(const QString& typed) {
    if (buildLayerPanels(typed)) {
        return;
    }
    if (windowSystem_ != nullptr) {
        windowSystem_->watchWindows([this](quintptr window) { windowChanged(window); });
    }
    const QList<QScreen*> screens = QGuiApplication::screens();
    if (screens.isEmpty()) {
        return;
    }
    const auto stepClock = [started = restStarted_] {
        return static_cast<double>(started.nsecsElapsed()) / 1e9;
    };
    for (QScreen* screen : screens) {
        auto panel = std::make_unique<OverlayPanel>(
            screen, shown_->action, shown_->language, shown_->passcode, stepClock, windowSystem_,
            managedWindows_ ? OverlayWindow::Placement::managed
                            : OverlayWindow::Placement::aboveManager);
        panel->setUnlockHandler(onUnlock_);
        panel->window()->setOnLost([this] { rebuildTimer_.start(); });
        panel->show();
        panels_.push_back(std::move(panel));
    }
    // Only one window can hold the keyboard: the panel the user is looking at.
    QScreen* focusScreen = mainScreen();
    OverlayPanel* focusPanel = panels_.back().get();
    for (const auto& panel : panels_) {
        if (panel->screen() == focusScreen) {
            focusPanel = panel.get();
        }
    }
    focusPanel->setTypedText(typed);
    focusPanel->takeKeyboard();
}

void OverlayController::hide() {
    rebuildTimer_.stop();
    repairTimer_.stop();
    const bool wasShown = shown_.has_value();
    shown_.reset();
    if (windowSystem_ != nullptr) {
        windowSystem_->stopWatchingWindows();
    }
    removePanels();
    // A dialog of the program that the rest interrupted (the passcode form, say) gets the
    // keyboard back, as if the rest had never been.
    if (QWindow* waiting = wasShown ? QGuiApplication::modalWindow() : nullptr) {
        waiting->raise();
        waiting->requestActivate();
    }
}

void OverlayController::removePanels() {
    if (layers_ != nullptr && !layerPanels_.empty()) {
        layers_->closePanels();
    }
    for (auto& layerPanel : layerPanels_) {
        // It may be handing a key or click to its panel right now.
        layerPanel->retire();
        layerPanel.release()->deleteLater();
    }
    layerPanels_.clear();
    if (!panels_.empty()) {
        // The style keeps images of the panels' buttons and fields under keys made from the
        // panels' palettes, which no later panel shares: left in place they piled up with
        // every rest until the cache's limit, some megabytes on.
        QPixmapCache::clear();
    }
    for (auto& panel : panels_) {
        panel->hide();
        // The unlock handler hides the panels from inside a panel's own check: delete only
        // once control is back in the event loop.
        panel.release()->deleteLater();
    }
    panels_.clear();
}

void OverlayController::update(std::int64_t remainingSeconds) {
    if (shown_) {
        shown_->remainingSeconds = remainingSeconds;
    }
    for (const auto& panel : panels_) {
        panel->update(remainingSeconds);
    }
}

void OverlayController::setUnlockHandler(std::function<void()> handler) {
    onUnlock_ = std::move(handler);
}

void OverlayController::rebuild() {
    if (!shown_) {
        return;
    }
    QString typed;
    for (const auto& panel : panels_) {
        if (!panel->typedText().isEmpty()) {
            typed = panel->typedText();
        }
    }
    removePanels();
    buildPanels(typed);
    if (shown_->remainingSeconds) {
        update(*shown_->remainingSeconds);
    }
}

void OverlayController::takeFocusBack() {
    QWidget* grabber = QWidget::keyboardGrabber();
    QWindow* focus = QGuiApplication::focusWindow();
    if (grabber == nullptr) {
        return;
    }
    for (const auto& panel : panels_) {
        if (focus != nullptr && focus == panel->window()->windowHandle()) {
            return; // one of the panels has it
        }
    }
    for (const auto& panel : panels_) {
        if (panel->window() == grabber->window()) {
            panel->window()->takeFocusBack();
        }
    }
}

void OverlayController::windowChanged(quintptr nativeWindow) {
    for (const auto& panel : panels_) {
        if (panel->window()->internalWinId() == nativeWindow) {
            // One of the panels was moved, reparented or destroyed: put it back right away.
            repairTimer_.start();
            return;
        }
    }
    // Another window was stacked or mapped, maybe above the panels: answer every time, so a
    // window that keeps raising itself never stays on top.
    for (const auto& panel : panels_) {
        panel->window()->raise();
    }
}

} // namespace lumatide
