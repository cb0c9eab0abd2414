// The control factory: makes a new, unparented control from its class name
// as layout files give it in "ControlName". Names compare without regard to
// case; an unknown name gives null.
#pragma once

namespace vgui2 {

class Panel;

Panel* CreateControlByName(const char* controlName);

}  // namespace vgui2
