#include "vgui2/GripPanel.h"

#include <algorithm>

#include "services/IInput.h"
#include "services/IPanel.h"
#include "services/IScheme.h"
#include "services/ServicePointers.h"
#include "vgui2/Frame.h"

namespace vgui2 {

void GripPanel::AddMessageHandlers(PanelMessageMap&) {}

GripPanel::GripPanel(Frame* dragFrame, const char* panelName, int xdir, int ydir)
    : Panel(dragFrame, panelName), m_frame(dragFrame), m_xdir(xdir), m_ydir(ydir) {
    m_image = scheme() ? scheme()->GetImage("resource/icon_resizer", false) : nullptr;
    SetPaintEnabled(false);
    SetPaintBackgroundEnabled(false);
    SetPaintBorderEnabled(false);
}

void GripPanel::ApplySchemeSettings(IScheme* schemeData) {
    Panel::ApplySchemeSettings(schemeData);
    SetFgColor(GetSchemeColor("BorderBright", GetFgColor(), schemeData));
    SetBgColor(GetSchemeColor("BorderSelection", GetBgColor(), schemeData));
}

void GripPanel::Paint() {
    if (!m_image) {
        return;
    }
    m_image->SetPos(0, 0);
    m_image->SetColor(GetFgColor());
    m_image->Paint();
}

bool GripPanel::CanDrag() { return m_frame->IsSizeable(); }

void GripPanel::OnMousePressed(MouseCode code) {
    if (code != MOUSE_LEFT || !CanDrag()) {
        return;
    }
    m_dragging = true;
    input()->GetCursorPos(m_pressX, m_pressY);
    m_frame->GetPos(m_startX, m_startY);
    m_frame->GetSize(m_startWide, m_startTall);
    input()->SetMouseCapture(GetVPanel());
    VPANEL focus = input()->GetFocus();
    if (!focus || !ipanel()->HasParent(focus, m_frame->GetVPanel())) {
        m_frame->RequestFocus();
    }
    Repaint();
}

void GripPanel::OnCursorMoved(int, int) {
    if (!m_dragging) {
        return;
    }
    if (!input()->IsMouseDown(MOUSE_LEFT)) {
        EndDrag();
        return;
    }
    int x = 0, y = 0;
    input()->GetCursorPos(x, y);
    MoveFrame(x - m_pressX, y - m_pressY);
}

void GripPanel::MoveFrame(int dx, int dy) {
    int minWide = 0, minTall = 0;
    ipanel()->GetMinimumSize(m_frame->GetVPanel(), minWide, minTall);
    int wide = std::max(m_startWide + dx * m_xdir, minWide);
    int tall = std::max(m_startTall + dy * m_ydir, minTall);
    int x = m_startX;
    int y = m_startY;
    // Growing to the left or up moves the frame by what it grew, so the
    // opposite edge stays where it was.
    if (m_xdir < 0) {
        x = m_startX + m_startWide - wide;
    }
    if (m_ydir < 0) {
        y = m_startY + m_startTall - tall;
    }
    m_frame->SetBounds(x, y, wide, tall);
    m_frame->InvalidateLayout();
    m_frame->Repaint();
}

void GripPanel::OnMouseReleased(MouseCode) { EndDrag(); }

void GripPanel::OnMouseCaptureLost() { m_dragging = false; }

void GripPanel::EndDrag() {
    m_dragging = false;
    if (input()->GetMouseCapture() == GetVPanel()) {
        input()->SetMouseCapture(kNoPanel);
    }
}

}  // namespace vgui2
