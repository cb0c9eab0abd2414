// Divider: a sunken line between groups of controls, drawn as the scheme's
// depressed border around a thin panel.
#pragma once

#include "vgui2/Panel.h"

namespace vgui2 {

class Divider : public Panel {
    VGUI2_PANEL_CLASS(Divider, Panel);

public:
    Divider(Panel* parent, const char* panelName);

protected:
    void ApplySchemeSettings(IScheme* scheme) override;
};

}  // namespace vgui2
