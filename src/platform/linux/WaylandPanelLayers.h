// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "system/PanelLayers.h"

#include <memory>

namespace lumatide {

class WaylandLayerShell;

// The rest panels as overlay surfaces of the wlr layer shell (sway and other wlroots desktops,
// KWin), on the program's own Wayland connection: one surface on every output, anchored
// to all four edges and ignoring other surfaces' exclusive zones, with the keyboard taken
// exclusively by the panel the user types into, the compositor's shortcuts inhibited while it
// has it, and taken back whenever the compositor hands it to another surface. Frames are drawn
// straight into two shared-memory buffers per panel, at most one a frame, at the output's scale
// (fractional ones too, where the compositor tells them). The connection is made at the first
// rest and kept.
class WaylandPanelLayers final : public PanelLayers {
public:
    // Without a connection there are no panels.
    explicit WaylandPanelLayers(WaylandLayerShell& wayland);
    ~WaylandPanelLayers() override;
    WaylandPanelLayers(const WaylandPanelLayers&) = delete;
    WaylandPanelLayers& operator=(const WaylandPanelLayers&) = delete;

    // Whether the compositor offers the layers (connects now if not yet done).
    bool available();

    int openPanels(PanelLayersClient* client) override;
    void closePanels() override;
    bool drawFrame(int panel, std::vector<QRect> changed, const FrameDrawer& draw) override;
    void setKeyboardPanel(int panel) override;

    struct Connection;

private:
    bool connect();

    WaylandLayerShell& wayland_;
    std::unique_ptr<Connection> connection_;
};

} // namespace lumatide
