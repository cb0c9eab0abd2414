#include "vgui2/ToggleButton.h"

namespace vgui2 {

void ToggleButton::AddMessageHandlers(PanelMessageMap&) {}

ToggleButton::ToggleButton(Panel* parent, const char* panelName, const char* text) : Button(parent, panelName, text) {
    // The press itself toggles, so the release has nothing left to undo.
    SetButtonActivationType(ACTIVATE_ONPRESSED);
}

void ToggleButton::DoClick() {
    SetSelected(!IsSelected());
    FireActionSignal();
}

void ToggleButton::SetSelected(bool state) {
    Button::SetSelected(state);
    ForceDepressed(state);
}

}  // namespace vgui2
