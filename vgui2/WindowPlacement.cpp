#include "vgui2/WindowPlacement.h"

#include <algorithm>

namespace vgui2 {

namespace {

int ShiftAxis(int position, int size, int areaStart, int areaSize) {
    return std::max(areaStart, std::min(position, areaStart + areaSize - size));
}

bool FitsAcross(int x, int wide, ScreenRect area) { return x >= area.x && x + wide <= area.x + area.wide; }

}  // namespace

ScreenRect ShiftInside(ScreenRect window, ScreenRect area) {
    if (area.wide <= 0 || area.tall <= 0) {
        return window;
    }
    window.x = ShiftAxis(window.x, window.wide, area.x, area.wide);
    window.y = ShiftAxis(window.y, window.tall, area.y, area.tall);
    return window;
}

ScreenRect PlaceBeside(ScreenRect anchor, int wide, int tall, ScreenRect area) {
    ScreenRect right{anchor.x + anchor.wide, anchor.y, wide, tall};
    ScreenRect left{anchor.x - wide, anchor.y, wide, tall};
    bool useLeft = !FitsAcross(right.x, wide, area) && FitsAcross(left.x, wide, area) && area.wide > 0;
    return ShiftInside(useLeft ? left : right, area);
}

}  // namespace vgui2
