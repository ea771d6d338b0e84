// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "system/PanelLayers.h"

#include <QObject>
#include <QPointer>
#include <QRegion>
#include <QTimer>

class QWidget;

namespace lumatide {

class OverlayPanel;

// One rest panel shown in a compositor's layer rather than as a window: the panel's widgets
// live in an off-screen window, and what they repaint is drawn straight into the layer's next
// frame, only the changed parts. Keys and clicks from the layer go to the widgets as if they had
// come from a window.
class LayerPanel final : public QObject {
    Q_OBJECT

public:
    // The panel must be off-screen; it outlives this object.
    LayerPanel(int index, PanelLayers& layers, OverlayPanel& panel);
    ~LayerPanel() override;
    LayerPanel(const LayerPanel&) = delete;
    LayerPanel& operator=(const LayerPanel&) = delete;

    // The size the layer has on its output (logical pixels) and the output's scale: everything
    // is drawn anew at it.
    void configure(QSize logicalSize, qreal scale);
    // Draws what changed, if the layer takes a frame now (else when it says it is ready).
    void flush();
    // A key typed while this panel has the keyboard: it goes to the passcode field.
    void key(const LayerKey& key);
    void pointer(const LayerPointer& pointer);
    // The layer is gone: nothing more is drawn (the object itself goes later, as it may be in
    // the middle of handing an event to the panel).
    void retire();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void watch(QWidget* widget);

    int index_;
    PanelLayers& layers_;
    OverlayPanel& panel_;
    qreal scale_ = 0; // 0 until the layer has a size
    QRegion dirty_;
    bool drawing_ = false;
    QTimer flushTimer_;
    QPointF pointerPosition_;
    Qt::MouseButtons buttons_;
    // The widget a button went down on gets the moves and the release, as with a window.
    QPointer<QWidget> pressed_;
};

} // namespace lumatide
