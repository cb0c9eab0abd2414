#include "vgui2/CaptionGripPanel.h"

#include <cstdlib>

#include "services/IPanel.h"
#include "services/ISurface.h"
#include "services/ServicePointers.h"
#include "vgui2/Frame.h"

namespace vgui2 {

namespace {

// Moves `position` so that the span [position, position + length) touches
// the edge when one of its ends lies within `distance` of it: the near end
// first, then the far end.
void SnapSpan(int& position, int length, int low, int high, int distance) {
    if (std::abs(position - low) <= distance) {
        position = low;
    } else if (std::abs(position + length - high) <= distance) {
        position = high - length;
    }
}

bool Overlaps(int start, int length, int otherStart, int otherLength) {
    return start < otherStart + otherLength && otherStart < start + length;
}

}  // namespace

void CaptionGripPanel::AddMessageHandlers(PanelMessageMap&) {}

CaptionGripPanel::CaptionGripPanel(Frame* dragFrame, const char* panelName) : GripPanel(dragFrame, panelName, 0, 0) {}

bool CaptionGripPanel::CanDrag() { return m_frame->IsMoveable(); }

void CaptionGripPanel::MoveFrame(int dx, int dy) {
    int x = m_startX + dx;
    int y = m_startY + dy;
    int wide = 0, tall = 0;
    m_frame->GetSize(wide, tall);
    int wx = 0, wy = 0, ww = 0, wt = 0;
    surface()->GetWorkspaceBounds(wx, wy, ww, wt);
    SnapSpan(x, wide, wx, wx + ww, kWorkspaceSnap);
    SnapSpan(y, tall, wy, wy + wt, kWorkspaceSnap);
    SnapToPopups(x, y, wide, tall);
    m_frame->SetPos(x, y);
    m_frame->Repaint();
}

void CaptionGripPanel::SnapToPopups(int& x, int& y, int wide, int tall) {
    VPANEL self = m_frame->GetVPanel();
    for (int i = 0, count = surface()->GetPopupCount(); i < count; ++i) {
        VPANEL popup = surface()->GetPopup(i);
        if (!popup || popup == self || !ipanel()->IsVisible(popup) || ipanel()->HasParent(popup, self)) {
            continue;
        }
        int px = 0, py = 0, pw = 0, pt = 0;
        ipanel()->GetAbsPos(popup, px, py);
        ipanel()->GetSize(popup, pw, pt);
        // Facing edges: our left to their right, our right to their left.
        if (Overlaps(y, tall, py, pt)) {
            if (std::abs(x - (px + pw)) <= kPopupSnap) {
                x = px + pw;
            } else if (std::abs(x + wide - px) <= kPopupSnap) {
                x = px - wide;
            }
        }
        if (Overlaps(x, wide, px, pw)) {
            if (std::abs(y - (py + pt)) <= kPopupSnap) {
                y = py + pt;
            } else if (std::abs(y + tall - py) <= kPopupSnap) {
                y = py - tall;
            }
        }
    }
}

}  // namespace vgui2
