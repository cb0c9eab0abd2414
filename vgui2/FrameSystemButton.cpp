#include "vgui2/FrameSystemButton.h"

#include "services/IScheme.h"
#include "services/ServicePointers.h"
#include "vgui2/KeyValues.h"

namespace vgui2 {

void FrameSystemButton::AddMessageHandlers(PanelMessageMap&) {}

FrameSystemButton::FrameSystemButton(Panel* parent, const char* panelName) : MenuButton(parent, panelName, "") {
    SetMouseClickEnabled(MOUSE_RIGHT, true);
    SetButtonActivationType(ACTIVATE_ONPRESSED);
    SetContentAlignment(a_center);
}

void FrameSystemButton::ApplySchemeSettings(IScheme* schemeData) {
    MenuButton::ApplySchemeSettings(schemeData);
    m_enabledBg = GetSchemeColor("TitleBarBgColor", GetBgColor(), schemeData);
    m_disabledBg = GetSchemeColor("TitleBarDisabledBgColor", GetBgColor(), schemeData);
    const char* enabledName = schemeData->GetResourceString("TitleBarIcon");
    const char* disabledName = schemeData->GetResourceString("TitleBarDisabledIcon");
    m_enabledImage = enabledName && *enabledName ? scheme()->GetImage(enabledName, false) : nullptr;
    m_disabledImage = disabledName && *disabledName ? scheme()->GetImage(disabledName, false) : nullptr;
    SetButtonBorderEnabled(false);
    SetDefaultBorder(nullptr);
    SetDepressedBorder(nullptr);
    SetKeyFocusBorder(nullptr);
    ShowImageForState();
}

void FrameSystemButton::ShowImageForState() {
    bool enabled = IsEnabled();
    ClearImages();
    AddImage(enabled ? m_enabledImage : m_disabledImage, 0);
    Color bg = enabled ? m_enabledBg : m_disabledBg;
    SetDefaultColor(GetFgColor(), bg);
    SetArmedColor(GetFgColor(), bg);
    SetDepressedColor(GetFgColor(), bg);
    Repaint();
}

void FrameSystemButton::SetEnabled(bool state) {
    MenuButton::SetEnabled(state);
    ShowImageForState();
}

void FrameSystemButton::SetMenuEnabled(bool state) { m_menuEnabled = state; }

void FrameSystemButton::DoClick() {
    if (m_menuEnabled) {
        MenuButton::DoClick();
    }
}

void FrameSystemButton::OnMouseDoublePressed(MouseCode) {
    if (Panel* frame = GetParent()) {
        PostMessage(frame, new KeyValues("CloseFrameButtonPressed"));
    }
}

}  // namespace vgui2
