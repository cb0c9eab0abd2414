#include "vgui2/CBitmapImagePanel.h"

namespace vgui2 {

void CBitmapImagePanel::AddMessageHandlers(PanelMessageMap&) {}

CBitmapImagePanel::CBitmapImagePanel(Panel* parent, const char* panelName, const char* imageName)
    : ImagePanel(parent, panelName) {
    SetShouldScaleImage(true);
    if (imageName) {
        SetImage(imageName);
    }
}

}  // namespace vgui2
