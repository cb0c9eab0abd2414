// The control factory: makes a new, unparented control from its class name
// as layout files give it in "ControlName". Names compare without regard to
// case; an unknown name gives null. Controls of the next toolkit issue
// (combo box, menus, message box, text entry, rich text) are not listed yet
// and give null too.
#pragma once

namespace vgui2 {

class Panel;

Panel* CreateControlByName(const char* controlName);

}  // namespace vgui2
