#include "vgui2/MenuPlacement.h"

#include "services/IInput.h"
#include "services/ISurface.h"
#include "services/ServicePointers.h"
#include "vgui2/Menu.h"

namespace vgui2 {

namespace {

constexpr int kUp = 2;
constexpr int kDown = 3;
constexpr int kAtPointer = 4;
constexpr int kAlignWithParent = 5;

}  // namespace

void PlaceMenuBesideOpener(Panel* opener, Menu* menu, int direction, int openOffsetY) {
    int anchorX = 0, anchorY = 0;
    Panel* parent = opener->GetParent();
    if (direction == kAtPointer) {
        input()->GetCursorPos(anchorX, anchorY);
    } else if (direction == kAlignWithParent && parent) {
        int parentX = 0, parentY = 0;
        parent->LocalToScreen(parentX, parentY);
        anchorX = parentX - 1;
        anchorY = opener->GetTall() + parentY + openOffsetY;
    } else {
        opener->LocalToScreen(anchorX, anchorY);
        anchorY += opener->GetTall();
    }
    int x = anchorX + 1;
    int y = anchorY + 1;
    if (direction == kUp) {
        x = anchorX;
        y = anchorY - opener->GetTall() - menu->GetTall() - 1;
    } else if (direction == kDown) {
        x = anchorX;
    }
    int workX = 0, workY = 0, workWide = 0, workTall = 0;
    surface()->GetWorkspaceBounds(workX, workY, workWide, workTall);
    if (x < workX) {
        x = workX;
    }
    if (x + menu->GetWide() > workX + workWide) {
        x = workX + workWide - menu->GetWide();
    }
    menu->SetPos(x, y);
}

}  // namespace vgui2
