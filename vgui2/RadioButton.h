// RadioButton: a check button that belongs to a group, its sibling radio
// buttons; selecting one clears the others, and a click never clears the
// selected one. It leaves out sub-groups within one parent.
#pragma once

#include "vgui2/CheckButton.h"

namespace vgui2 {

class RadioButton : public CheckButton {
    VGUI2_PANEL_CLASS(RadioButton, CheckButton);

public:
    RadioButton(Panel* parent, const char* panelName, const char* text);

    void DoClick() override;
    void SetSelected(bool state) override;
};

}  // namespace vgui2
