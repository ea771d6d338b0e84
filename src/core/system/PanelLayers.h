// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "system/ScreenLayers.h"

#include <QPointF>
#include <QRect>
#include <QSize>
#include <QString>
#include <functional>
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

// Where a panel's next frame is drawn: memory the compositor is shown afterwards, 32-bit pixels
// in the byte order of QImage::Format_RGB32.
struct LayerCanvas {
    uchar* pixels = nullptr;
    QSize size;
    qsizetype bytesPerLine = 0;
    // Pixels per logical pixel: 1, 2, or a fraction such as 1.25 or 1.5.
    qreal scale = 1;
};

// What the panels report; called from the event loop.
class PanelLayersClient {
public:
    virtual ~PanelLayersClient() = default;
    // The compositor gave the panel its size (logical pixels) and scale, first or anew: the next
    // frame draws everything.
    virtual void panelConfigured(int panel, QSize logicalSize, qreal scale) = 0;
    // A frame refused by drawFrame() can be drawn now.
    virtual void panelReady(int panel) = 0;
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
    // Draws the panel's next frame, of which the rectangles `changed` (in pixels) differ from
    // the frame before: `draw` is called at once with the canvas, which holds the frame before
    // everywhere outside the rectangles it is given (those changed, and any the layer could not
    // keep), and must fill them. False, and nothing drawn, while the compositor has not yet shown
    // the frame before or holds every canvas (panelReady() follows), or has not yet given the
    // panel its size (panelConfigured() follows).
    using FrameDrawer = std::function<void(const LayerCanvas&, const std::vector<QRect>&)>;
    virtual bool drawFrame(int panel, std::vector<QRect> changed, const FrameDrawer& draw) = 0;
    // The panel whose typing the keyboard goes to; the others take no keys.
    virtual void setKeyboardPanel(int panel) = 0;

protected:
    PanelLayers() = default;
    PanelLayers(const PanelLayers&) = default;
    PanelLayers& operator=(const PanelLayers&) = default;
};

} // namespace lumatide
