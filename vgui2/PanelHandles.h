// Turning panel ids and handles back into toolkit panels. Every lookup goes
// through the services again, so a panel that is gone resolves to null
// instead of a dangling pointer.
#pragma once

#include "services/IPanel.h"
#include "services/IVGui.h"
#include "services/ServicePointers.h"
#include "vgui2/Panel.h"

namespace vgui2 {

inline Panel* PanelFromId(VPANEL panel) { return panel ? ipanel()->GetPanel(panel, GetModuleName()) : nullptr; }

inline Panel* PanelFromHandle(HPanel handle) {
    return handle == kNoHandle ? nullptr : PanelFromId(ivgui()->HandleToPanel(handle));
}

inline HPanel HandleOf(Panel* panel) { return panel ? ivgui()->PanelToHandle(panel->GetVPanel()) : kNoHandle; }

inline HPanel HandleOf(VPANEL panel) { return panel ? ivgui()->PanelToHandle(panel) : kNoHandle; }

}  // namespace vgui2
