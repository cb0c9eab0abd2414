// ToggleButton: a button that stays pressed after a click and comes up
// again with the next one. Its state is the button's selected flag, so
// "SetState" and "GetState" work on it. It leaves out toggle groups.
#pragma once

#include "vgui2/Button.h"

namespace vgui2 {

class ToggleButton : public Button {
    VGUI2_PANEL_CLASS(ToggleButton, Button);

public:
    ToggleButton(Panel* parent, const char* panelName, const char* text);

    void DoClick() override;
    void SetSelected(bool state) override;
};

}  // namespace vgui2
