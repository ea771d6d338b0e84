// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "system/ScreenLayers.h"

#include <memory>

namespace lumatide {

class WaylandLayerShell;

// Screen layers through the wlr layer shell (sway and other wlroots desktops, KWin), on the
// program's own Wayland connection, shared with the rest panels.
class WaylandScreenLayers final : public ScreenLayers {
public:
    // Without a connection there are no layers.
    explicit WaylandScreenLayers(WaylandLayerShell& wayland);
    ~WaylandScreenLayers() override;
    WaylandScreenLayers(const WaylandScreenLayers&) = delete;
    WaylandScreenLayers& operator=(const WaylandScreenLayers&) = delete;

    int outputCount() override;
    int outputScale(int output) const override;
    void showCorner(int output, const LayerPicture& picture, int margin) override;
    void hideCorners() override;

private:
    struct Connection;

    WaylandLayerShell& wayland_;
    std::unique_ptr<Connection> connection_;
};

} // namespace lumatide
