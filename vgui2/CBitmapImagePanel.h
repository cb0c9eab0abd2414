// CBitmapImagePanel: an image panel whose image always fills the panel.
#pragma once

#include "vgui2/ImagePanel.h"

namespace vgui2 {

class CBitmapImagePanel : public ImagePanel {
    VGUI2_PANEL_CLASS(CBitmapImagePanel, ImagePanel);

public:
    CBitmapImagePanel(Panel* parent, const char* panelName, const char* imageName = nullptr);
};

}  // namespace vgui2
