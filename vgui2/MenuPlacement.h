// Where a drop-down menu opens next to the control that opens it (a menu
// button, a combo box): above, below, at the pointer or aligned with the
// control's parent, then held inside the work area horizontally.
#pragma once

namespace vgui2 {

class Menu;
class Panel;

// Directions: 2 up, 3 down, 4 at the pointer, 5 aligned with the parent.
void PlaceMenuBesideOpener(Panel* opener, Menu* menu, int direction, int openOffsetY);

}  // namespace vgui2
