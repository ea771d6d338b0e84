// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "system/ScreenLayers.h"

#include <QByteArray>
#include <memory>

namespace lumatide {

// Screen layers through the wlr layer shell (sway and other wlroots desktops, KWin), on a
// Wayland connection of the program's own, next to whatever Qt uses (X11 through XWayland,
// usually). The connection is made at the first question, not at start, and then kept: it only
// carries the compositor's answers about these surfaces and the outputs.
class WaylandScreenLayers final : public ScreenLayers {
public:
    // An empty name means $WAYLAND_DISPLAY; without one there are no layers.
    explicit WaylandScreenLayers(QByteArray displayName = {});
    ~WaylandScreenLayers() override;
    WaylandScreenLayers(const WaylandScreenLayers&) = delete;
    WaylandScreenLayers& operator=(const WaylandScreenLayers&) = delete;

    int outputCount() override;
    int outputScale(int output) const override;
    void showCorner(int output, const LayerPicture& picture, int margin) override;
    void hideCorners() override;

private:
    struct Connection;
    void readEvents();

    QByteArray displayName_;
    bool tried_ = false;
    std::unique_ptr<Connection> connection_;
};

} // namespace lumatide
