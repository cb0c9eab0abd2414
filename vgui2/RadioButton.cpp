#include "vgui2/RadioButton.h"

namespace vgui2 {

void RadioButton::AddMessageHandlers(PanelMessageMap&) {}

RadioButton::RadioButton(Panel* parent, const char* panelName, const char* text)
    : CheckButton(parent, panelName, text) {}

void RadioButton::DoClick() {
    if (!IsSelected()) {
        SetSelected(true);
    }
    FireActionSignal();
}

void RadioButton::SetSelected(bool state) {
    CheckButton::SetSelected(state);
    Panel* parent = GetParent();
    if (!state || !parent) {
        return;
    }
    for (int i = 0, count = parent->GetChildCount(); i < count; ++i) {
        auto* sibling = dynamic_cast<RadioButton*>(parent->GetChild(i));
        if (sibling && sibling != this) {
            sibling->CheckButton::SetSelected(false);
        }
    }
}

}  // namespace vgui2
