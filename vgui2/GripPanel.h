// GripPanel: an invisible hot zone along one edge or corner of a frame that
// resizes the frame while the left button drags it. The direction per axis
// (-1, 0 or 1) says which edges move; a grip on the left or top moves the
// frame so that the opposite edge stays put, also when the minimum size
// stops the drag. Only the bottom-right grip ever paints (its resizer
// image), and only while the frame is sizeable.
#pragma once

#include "vgui2/Panel.h"

namespace vgui2 {

class Frame;
class IImage;

class GripPanel : public Panel {
    VGUI2_PANEL_CLASS(GripPanel, Panel);

public:
    GripPanel(Frame* dragFrame, const char* panelName, int xdir, int ydir);

    int GetXDirection() const { return m_xdir; }
    int GetYDirection() const { return m_ydir; }
    bool IsDragging() const { return m_dragging; }

protected:
    void ApplySchemeSettings(IScheme* scheme) override;
    void Paint() override;
    void OnMousePressed(MouseCode code) override;
    void OnCursorMoved(int x, int y) override;
    void OnMouseReleased(MouseCode code) override;
    void OnMouseCaptureLost() override;

    // Whether the frame lets this grip act at all.
    virtual bool CanDrag();
    // Applies a pointer movement of (dx, dy) screen pixels since the press.
    virtual void MoveFrame(int dx, int dy);

    Frame* m_frame;
    int m_pressX = 0;
    int m_pressY = 0;
    int m_startX = 0;
    int m_startY = 0;
    int m_startWide = 0;
    int m_startTall = 0;

private:
    void EndDrag();

    int m_xdir;
    int m_ydir;
    bool m_dragging = false;
    IImage* m_image = nullptr;
};

}  // namespace vgui2
