// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "system/ScreenLayers.h"

#include <QPointF>
#include <QRect>
#include <QSize>
#include <QString>
#include <vector>

namespace lumatide {

// A key from the compositor's keyboard, already translated through its keymap.
struct LayerKey {
    bool pressed = true;
    bool autoRepeat = false;
    int key = 0; // a Qt::Key
    Qt::KeyboardModifiers modifiers;
    QString text;
};

// The pointer over a panel, in the panel's logical pixels.
struct LayerPointer {
    enum class Kind { move, press, release, leave };
    Kind kind = Kind::move;
    QPointF position;
    Qt::MouseButton button = Qt::NoButton;
};

// What the panels report; called from the event loop.
class PanelLayersClient {
public:
    virtual ~PanelLayersClient() = default;
    // The compositor gave the panel its size (logical pixels) and scale, first or anew: the next
    // picture must have this size times the scale, and draw everything.
    virtual void panelConfigured(int panel, QSize logicalSize, int scale) = 0;
    virtual void panelKey(int panel, const LayerKey& key) = 0;
    virtual void panelPointer(int panel, const LayerPointer& pointer) = 0;
    // Outputs came or went: the panels are gone and must be opened anew.
    virtual void outputsChanged() = 0;

protected:
    PanelLayersClient() = default;
    PanelLayersClient(const PanelLayersClient&) = default;
    PanelLayersClient& operator=(const PanelLayersClient&) = default;
};

// Full-output pictures the compositor keeps above every window, full-screen ones included, one
// per output, which take the keyboard and the pointer (a Wayland layer shell): the rest panels
// of a desktop where the program's own windows cannot be kept on top.
class PanelLayers {
public:
    virtual ~PanelLayers() = default;

    // Opens one panel on every output and reports to the client until closed. The number of
    // panels; 0 where the desktop offers no such layer (the caller uses windows instead).
    virtual int openPanels(PanelLayersClient* client) = 0;
    // Removes every panel; nothing is reported afterwards.
    virtual void closePanels() = 0;
    // Shows the picture on the panel; only `damage` (in the picture's pixels) changed since the
    // picture given before. The pixels must stay valid until the next call for this panel or
    // until the panels are closed: the compositor may be shown them later, at its own pace.
    virtual void present(int panel, const LayerPicture& picture,
                         const std::vector<QRect>& damage) = 0;
    // The panel whose typing the keyboard goes to; the others take no keys.
    virtual void setKeyboardPanel(int panel) = 0;

protected:
    PanelLayers() = default;
    PanelLayers(const PanelLayers&) = default;
    PanelLayers& operator=(const PanelLayers&) = default;
};

} // namespace lumatide
