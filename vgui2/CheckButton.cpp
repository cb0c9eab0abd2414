#include "vgui2/CheckButton.h"

#include "services/IScheme.h"
#include "services/ServicePointers.h"

namespace vgui2 {

void CheckButton::AddMessageHandlers(PanelMessageMap&) {}

CheckButton::CheckButton(Panel* parent, const char* panelName, const char* text)
    : ToggleButton(parent, panelName, text) {
    SetPaintBorderEnabled(false);
    SetPaintBackgroundEnabled(false);
    SetTextInset(0, 0);
    SetImageAtIndex(kBoxIndex, nullptr, 0);
    SetTextImageIndex(kTextIndex);
    SetImagePreOffset(kTextIndex, kTextGap);
}

void CheckButton::SetCheckImages(const char* checkedImage, const char* emptyImage) {
    m_checkedName = checkedImage ? checkedImage : "";
    m_emptyName = emptyImage ? emptyImage : "";
    InvalidateLayout(false, true);
}

void CheckButton::ApplySchemeSettings(IScheme* schemeData) {
    ToggleButton::ApplySchemeSettings(schemeData);
    m_checked = scheme()->GetImage(m_checkedName.c_str(), false);
    m_empty = scheme()->GetImage(m_emptyName.c_str(), false);
    // The box shows the state; the button itself keeps one look.
    SetDepressedColor(GetButtonFgColor(), GetButtonBgColor());
    SetArmedColor(GetButtonFgColor(), GetButtonBgColor());
}

void CheckButton::PerformLayout() {
    SetImageAtIndex(kBoxIndex, IsSelected() ? m_checked : m_empty, 0);
    ToggleButton::PerformLayout();
}

}  // namespace vgui2
