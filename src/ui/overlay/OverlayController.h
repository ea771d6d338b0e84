// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cycle/RestSurface.h"
#include "system/PanelLayers.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QScreen;

namespace lumatide {

class LayerPanel;
class OverlayPanel;
class PreferenceStore;
class WindowSystem;

// The rest panels of the whole desktop: one per screen while a rest is shown. Every show
// builds new panels; a screen added, removed or resized meanwhile, or a panel destroyed by
// another program, rebuilds them with the same activity, step and typing, so no screen is
// left uncovered. While a rest is shown, a window stacked above the panels is answered by
// raising them at once. Where the desktop offers layers above every window (a Wayland layer
// shell), the panels are drawn there instead, one per output, and get their keys from there.
class OverlayController final : public QObject, public RestSurface, private PanelLayersClient {
    Q_OBJECT

public:
    // The passcode is read from the store each time a rest is shown. The window system, when
    // given, lets the panels put themselves back after other programs interfered with them.
    explicit OverlayController(const PreferenceStore& preferences,
                               WindowSystem* windowSystem = nullptr, PanelLayers* layers = nullptr,
                               QObject* parent = nullptr);
    ~OverlayController() override;
    OverlayController(const OverlayController&) = delete;
    OverlayController& operator=(const OverlayController&) = delete;

    void show(const BreakAction& action, AppLanguage language) override;
    // Takes every panel down at once. A panel whose own unlock check is running (the unlock
    // handler hides the panels) is released only after that check has returned.
    void hide() override;
    void update(std::int64_t remainingSeconds) override;
    // Copied into each panel when it is built: panels already shown keep their handler.
    void setUnlockHandler(std::function<void()> handler) override;
    // Windows the window manager keeps on top, and is asked to give the keyboard back to, where
    // there are no layers: on a Wayland desktop the program's own X11 windows cannot take the
    // keyboard from the compositor's windows.
    void setManagedWindows(bool managed) { managedWindows_ = managed; }

    // A rest is shown (its panels may be none while no screen is connected).
    bool isShowing() const { return shown_.has_value(); }
    std::size_t panelCount() const { return panels_.size(); }
    OverlayPanel* panel(std::size_t index) const { return panels_.at(index).get(); }
    // The panels are in the desktop's layers rather than windows.
    bool inLayers() const { return !layerPanels_.empty(); }
    LayerPanel* layerPanel(std::size_t index) const { return layerPanels_.at(index).get(); }

private:
    struct Shown {
        BreakAction action;
        AppLanguage language;
        std::optional<std::int64_t> remainingSeconds;
        QString passcode;
    };

    void watchScreen(QScreen* screen);
    // Builds a panel on every screen for what is shown, with the text typed so far.
    void buildPanels(const QString& typed);
    // Takes the panels down; the rest stays shown.
    void removePanels();
    void rebuild();
    void windowChanged(quintptr nativeWindow);
    // Asks the window manager for the keyboard again when it went to another program.
    void takeFocusBack();
    // Builds off-screen panels for the layers; false where there are none.
    bool buildLayerPanels(const QString& typed);
    void moveKeyboardTo(std::size_t index);

    void panelConfigured(int panel, QSize logicalSize, qreal scale) override;
    void panelReady(int panel) override;
    void panelKey(int panel, const LayerKey& key) override;
    void panelPointer(int panel, const LayerPointer& pointer) override;
    void outputsChanged() override;

    const PreferenceStore& preferences_;
    WindowSystem* windowSystem_;
    PanelLayers* layers_;
    std::function<void()> onUnlock_;
    std::vector<std::unique_ptr<OverlayPanel>> panels_;
    // Parallel to panels_ while they are in layers.
    std::vector<std::unique_ptr<LayerPanel>> layerPanels_;
    std::size_t keyboardPanel_ = 0;
    std::optional<Shown> shown_;
    // Screen changes arrive in bursts; one rebuild after the burst covers them all.
    QTimer rebuildTimer_;
    // The step loop's origin: the start of the rest, whatever rebuilds followed.
    QElapsedTimer restStarted_;
    // A change to the panels' own windows is answered from the event loop, once per burst.
    QTimer repairTimer_;
    bool managedWindows_ = false;
    QTimer focusCheck_;
};

} // namespace lumatide
