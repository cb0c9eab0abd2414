#include "vgui2/Divider.h"

#include "services/IScheme.h"

namespace vgui2 {

void Divider::AddMessageHandlers(PanelMessageMap&) {}

Divider::Divider(Panel* parent, const char* panelName) : Panel(parent, panelName) {
    SetPaintBackgroundEnabled(false);
}

void Divider::ApplySchemeSettings(IScheme* schemeData) {
    Panel::ApplySchemeSettings(schemeData);
    SetBorder(schemeData->GetBorder("ButtonDepressedBorder"));
}

}  // namespace vgui2
