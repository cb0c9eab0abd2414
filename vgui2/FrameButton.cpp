#include "vgui2/FrameButton.h"

#include "services/IScheme.h"
#include "services/ServicePointers.h"

namespace vgui2 {

void FrameButton::AddMessageHandlers(PanelMessageMap&) {}

FrameButton::FrameButton(Panel* parent, const char* panelName, const char* imageName)
    : Button(parent, panelName, "") {
    SetSize(kSize, kSize);
    SetTextInset(2, 1);
    SetContentAlignment(a_northwest);
    if (imageName && *imageName) {
        ClearImages();
        AddImage(scheme() ? scheme()->GetImage(imageName, false) : nullptr, 0);
    }
}

void FrameButton::ApplySchemeSettings(IScheme* schemeData) {
    Button::ApplySchemeSettings(schemeData);
    m_enabledFg = GetSchemeColor("TitleButtonFgColor", schemeData);
    m_enabledBg = GetSchemeColor("TitleButtonBgColor", schemeData);
    m_disabledFg = GetSchemeColor("TitleButtonDisabledFgColor", schemeData);
    m_disabledBg = GetSchemeColor("TitleButtonDisabledBgColor", schemeData);
    m_defaultBorder = schemeData->GetBorder("TitleButtonBorder");
    m_depressedBorder = schemeData->GetBorder("TitleButtonDepressedBorder");
    m_disabledBorder = schemeData->GetBorder("TitleButtonDisabledBorder");
    SetDisabledLook(m_disabledLook);
}

void FrameButton::SetDisabledLook(bool state) {
    m_disabledLook = state;
    Color fg = state ? m_disabledFg : m_enabledFg;
    Color bg = state ? m_disabledBg : m_enabledBg;
    SetDefaultColor(fg, bg);
    SetArmedColor(fg, bg);
    SetDepressedColor(fg, bg);
    Repaint();
}

IBorder* FrameButton::GetBorder(bool depressed, bool, bool, bool) {
    if (m_disabledLook) {
        return m_disabledBorder;
    }
    return depressed ? m_depressedBorder : m_defaultBorder;
}

void FrameButton::RequestFocus(int) {}

}  // namespace vgui2
