// The person's display as SDL's windows reach it, and the loss of it.
#pragma once

#include <string>

namespace platform {

// The SDL video drivers to try, in order, for the display the system names
// ("x11", "wayland,x11"; "windows" there); nullptr when no display is set up,
// where a window would open where nobody can see it.
const char* DisplayDrivers();

// The display's name for a message ("" when there is none).
std::string DisplayName();

// When the connection to the X server breaks (the server ended, the session
// was closed), Xlib ends the process with exit(). Static destructors then
// run, and tearing windows down over the dead connection makes Xlib wait
// forever, spinning on a core. The watch records the loss before the exit
// so that native teardown can be skipped; the process then ends with status
// 1 as it would have, after every other destructor (a running update job is
// still waited for). Call once SDL's driver has opened the display; does
// nothing where the display cannot be lost this way.
void WatchForDisplayLoss();

// True once the display connection was lost.
bool DisplayLost();

}  // namespace platform
