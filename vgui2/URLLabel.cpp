#include "vgui2/URLLabel.h"

#include <cstdio>

#include "services/ISurface.h"
#include "services/ISystem.h"
#include "services/ServicePointers.h"
#include "vgui2/KeyValues.h"
#include "vgui2/TextImage.h"

namespace vgui2 {

void URLLabel::AddMessageHandlers(PanelMessageMap&) {}

URLLabel::URLLabel(Panel* parent, const char* panelName, const char* text, const char* url)
    : Label(parent, panelName, text) {
    SetURL(url);
    SetCursor(dc_hand);
}

void URLLabel::SetURL(const char* url) { m_url = url ? url : ""; }

void URLLabel::OnMousePressed(MouseCode code) {
    if (code == MOUSE_LEFT && !m_url.empty() && system()) {
        system()->ShellExecute("open", m_url.c_str());
    }
}

void URLLabel::Paint() {
    Label::Paint();
    int x = 0, y = 0, wide = 0, tall = 0;
    GetTextImage()->GetPos(x, y);
    GetTextImage()->GetSize(wide, tall);
    surface()->DrawSetColor(GetFgColor());
    surface()->DrawFilledRect(x, y + tall - 1, x + wide, y + tall);
}

void URLLabel::ApplySettings(KeyValues* settings) {
    Label::ApplySettings(settings);
    if (const char* url = settings->GetString("URLText", nullptr)) {
        SetURL(url);
    }
}

void URLLabel::GetSettings(KeyValues* settings) {
    Label::GetSettings(settings);
    settings->SetString("URLText", m_url.c_str());
}

const char* URLLabel::GetDescription() {
    static char description[512];
    std::snprintf(description, sizeof(description), "%s, string URLText", Label::GetDescription());
    return description;
}

}  // namespace vgui2
