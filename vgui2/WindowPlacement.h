// Where top-level windows go on the desktop: every window stays inside the
// work area (the screen less the taskbar and docks), so its title bar and
// close button can always be reached. Plain functions over rectangles.
#pragma once

namespace vgui2 {

struct ScreenRect {
    int x = 0;
    int y = 0;
    int wide = 0;
    int tall = 0;
};

// The window moved the least distance that puts it inside the area. A window
// larger than the area keeps its top-left corner on the area's, so its title
// bar stays reachable. An empty area (no screen known) changes nothing.
ScreenRect ShiftInside(ScreenRect window, ScreenRect area);

// A window of the given size beside the anchor, top edges aligned: right of
// it when it fits there, else left of it, else right of it shifted inside.
ScreenRect PlaceBeside(ScreenRect anchor, int wide, int tall, ScreenRect area);

}  // namespace vgui2
