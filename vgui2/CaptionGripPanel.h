// CaptionGripPanel: the strip along a frame's title bar that moves the
// frame instead of resizing it. A dropped position snaps to the work area's
// edges (within 9 pixels) and then to the facing edges of other visible
// popups beside it (within 10 pixels), so windows line up without care.
#pragma once

#include "vgui2/GripPanel.h"

namespace vgui2 {

class CaptionGripPanel : public GripPanel {
    VGUI2_PANEL_CLASS(CaptionGripPanel, GripPanel);

public:
    static constexpr int kWorkspaceSnap = 9;
    static constexpr int kPopupSnap = 10;

    CaptionGripPanel(Frame* dragFrame, const char* panelName);

protected:
    bool CanDrag() override;
    void MoveFrame(int dx, int dy) override;

private:
    void SnapToPopups(int& x, int& y, int wide, int tall);
};

}  // namespace vgui2
